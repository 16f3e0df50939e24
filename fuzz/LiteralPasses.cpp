#include "fuzz/LiteralPasses.h"

#include <cstring>
#include <string>

#include "fuzz/Peek.h"
#include "fuzz/Report.h"
#include "strings/internal/EntityTable.h"

namespace literal {

using strings_internal::EntityRow;
using strings_internal::EntityTable;

namespace {

struct OneByteText {
  explicit OneByteText(char byte) : bytes{byte, '\0'} {}
  char bytes[2];
};

}  // namespace

const char* DecodeEntities(TextString& s) {
  for (const EntityRow& row : EntityTable) {
    s.ReplaceCase(row.reference, OneByteText(row.byte).bytes, nullptr);
  }
  if (s.Count("&", 0) != s.Count("&amp", 0)) s.ProtectEntities();
  return s.ReplaceCase("&amp;", "&", nullptr);
}

const char* EncodeEntities(TextString& s) {
  const char* result = s.ReplaceCase("&", "&amp;", nullptr);
  for (const EntityRow& row : EntityTable) {
    result = s.ReplaceCase(OneByteText(row.byte).bytes, row.reference, nullptr);
  }
  return result;
}

const char* RemoveWhitespace(TextString& s) {
  const char* result = s.GetText();
  for (const char* blank : {" ", "\t", "\r", "\n"}) result = s.ReplaceAll(blank, "", 0, nullptr);
  return result;
}

// The constructor gives a buffer of minSize + 1 bytes for a text no longer
// than minSize; the bytes are then copied whole.
Twin::Twin(const TextString& s) : twin_(s.GetText(), Peek::Size(s) > 0 ? Peek::Size(s) - 1 : 0) {
  if (Peek::Text(s) == nullptr) {
    twin_.Free();
  } else {
    report::Require(Peek::Size(twin_) == Peek::Size(s), "the literal twin has the string's size");
    std::memcpy(Peek::Text(twin_), Peek::Text(s), Peek::Size(s));
  }
  before_ = Peek::Text(s);
  twinBefore_ = Peek::Text(twin_);
}

void Twin::Expect(const TextString& s, const char* result, const char* (*sequence)(TextString&),
                  const char* which) {
  const char* twinResult = sequence(twin_);
  const std::string what = std::string(which) + " against its passes one by one: ";
  const char* text = Peek::Text(s);
  const char* twinText = Peek::Text(twin_);
  report::Require((result == nullptr) == (twinResult == nullptr) &&
                      (result == nullptr || (result == text && twinResult == twinText)),
                  (what + "the result differs").c_str());
  report::Require((text == nullptr) == (twinText == nullptr), (what + "one has no buffer").c_str());
  report::Require(Peek::Size(s) == Peek::Size(twin_), (what + "the size differs").c_str());
  report::Require((text == before_) == (twinText == twinBefore_),
                  (what + "one kept its buffer, the other did not").c_str());
  if (text != nullptr && std::memcmp(text, twinText, Peek::Size(s)) != 0) {
    report::Fail(what + "the buffers differ: " + report::Show(text) + " against " +
                 report::Show(twinText) + " (or in the bytes after the terminator)");
  }
}

}  // namespace literal
