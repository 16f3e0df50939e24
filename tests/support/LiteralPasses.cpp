#include "tests/support/LiteralPasses.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "strings/internal/EntityTable.h"

namespace literal {

using strings_internal::EntityRow;
using strings_internal::EntityTable;

namespace {

struct OneByteText {
  explicit OneByteText(char byte) : bytes{byte, '\0'} {}
  char bytes[2];
};

// The fields behind the public operations, so that the comparison does not
// trust the very accessors under test.
struct Fields : TextString {
  static char* Text(const TextString& s) { return s.*(&Fields::text); }
  static uint32_t Size(const TextString& s) { return s.*(&Fields::size); }
};

bool BeginsExactAmpFolded(const char* text) {
  static const char kAmp[] = "&amp;";
  for (size_t i = 0; kAmp[i] != '\0'; ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
    if (c != kAmp[i]) return false;
  }
  return true;
}

}  // namespace

const char* DecodeEntities(TextString& s) {
  for (const EntityRow& row : EntityTable) {
    s.ReplaceCase(row.reference, OneByteText(row.byte).bytes, nullptr);
  }
  if (s.Count("&", 0) != s.Count("&amp", 0)) ProtectEntities(s);
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

const char* ExpandTabs(TextString& s, unsigned width) {
  const std::string spaces(width, ' ');
  return s.ReplaceAll("\t", spaces.c_str(), 0, nullptr);
}

void ProtectEntities(TextString& s) {
  char* const text = s.GetText();
  if (text == nullptr) return;
  // Numeric references: the first ';' three to six places after the '&',
  // looking no further than the text's end.
  for (char* ampersand = s.FindIn(text, "&#", 0); ampersand != nullptr;
       ampersand = s.FindIn(ampersand + 1, "&#", 0)) {
    for (int place = 2; place <= 6 && ampersand[place] != '\0'; ++place) {
      if (place >= 3 && ampersand[place] == ';') {
        ampersand[place] = ',';
        break;
      }
    }
  }
  // Other references: each '&' not beginning "&amp;" takes the first ';' at
  // or after it, and the next '&' is looked for from that ';' on.
  char* position = text;
  for (;;) {
    char* ampersand = s.FindIn(position, "&", 0);
    if (ampersand == nullptr) return;
    if (BeginsExactAmpFolded(ampersand)) {
      position = ampersand + 1;
      continue;
    }
    char* semicolon = s.FindIn(ampersand, ";", 0);
    if (semicolon == nullptr) return;
    *semicolon = ',';
    position = semicolon;
  }
}

// The constructor gives a buffer of minSize + 1 bytes for a text no longer
// than minSize; the bytes are then copied whole.
Twin::Twin(const TextString& s)
    : twin_(s.GetText(), Fields::Size(s) > 0 ? Fields::Size(s) - 1 : 0) {
  if (Fields::Text(s) == nullptr) {
    twin_.Free();
  } else {
    std::memcpy(Fields::Text(twin_), Fields::Text(s), Fields::Size(s));
  }
  before_ = Fields::Text(s);
  twinBefore_ = Fields::Text(twin_);
}

std::string Twin::Mismatch(const TextString& s, const char* result, const Sequence& sequence) {
  const char* twinResult = sequence(twin_);
  const char* text = Fields::Text(s);
  const char* twinText = Fields::Text(twin_);
  const uint32_t size = Fields::Size(s);
  if (Fields::Size(twin_) != size) {
    return "the size is " + std::to_string(size) + ", the passes leave " +
           std::to_string(Fields::Size(twin_));
  }
  if ((text == nullptr) != (twinText == nullptr)) return "one has no buffer";
  if ((result == nullptr) != (twinResult == nullptr) ||
      (result != nullptr && (result != text || twinResult != twinText))) {
    return "the result differs";
  }
  if ((text == before_) != (twinText == twinBefore_)) {
    return text == before_ ? "the buffer was kept, the passes replace it"
                           : "the buffer was replaced, the passes keep it";
  }
  if (text == nullptr || std::memcmp(text, twinText, size) == 0) return std::string();
  size_t at = 0;
  while (text[at] == twinText[at]) ++at;
  const size_t from = at > 16 ? at - 16 : 0;
  return "the buffers differ at byte " + std::to_string(at) + " of " + std::to_string(size) +
         "; from byte " + std::to_string(from) + ": " + Shown(text + from, size - from) +
         " against " + Shown(twinText + from, size - from);
}

std::string Shown(const char* text, size_t length) {
  std::string shown = "\"";
  for (size_t i = 0; i < length && i < 80; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      shown += escape;
    }
  }
  if (length > 80) shown += "...(" + std::to_string(length) + " bytes)";
  return shown + "\"";
}

}  // namespace literal
