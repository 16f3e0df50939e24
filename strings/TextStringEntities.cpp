// HTML character references and URL escapes.
#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/EntityTable.h"

namespace ascii = strings_internal::ascii;
using strings_internal::EntityRow;
using strings_internal::EntityTable;

namespace {

// OneByteText: a row's byte as a text of its own.
struct OneByteText {
  explicit OneByteText(char byte) : bytes{byte, '\0'} {}
  char bytes[2];
};

// The body of a numeric reference is one to four bytes, so its semicolon is
// three to six places after the ampersand.
constexpr int kFirstSemicolonPlace = 3;
constexpr int kLastSemicolonPlace = 6;

void CloseNumericReference(char* ampersand) {
  // Place 2 is looked at only to stop where the text ends right after "&#".
  for (int place = 2; place <= kLastSemicolonPlace && ampersand[place] != '\0'; ++place) {
    if (place >= kFirstSemicolonPlace && ampersand[place] == ';') {
      ampersand[place] = ',';
      return;
    }
  }
}

}  // namespace

const char* TextString::DecodeEntities() {
  for (const EntityRow& row : EntityTable) {
    ReplaceCase(row.reference, OneByteText(row.byte).bytes, nullptr);
  }
  // Every ampersand that does not begin "&amp" starts a reference that stays.
  if (Count("&", 0) != Count("&amp", 0)) ProtectEntities();
  return ReplaceCase("&amp;", "&", nullptr);
}

const char* TextString::EncodeEntities() {
  // Ampersands first, so that those of the inserted references stay single.
  const char* result = ReplaceCase("&", "&amp;", nullptr);
  for (const EntityRow& row : EntityTable) {
    result = ReplaceCase(OneByteText(row.byte).bytes, row.reference, nullptr);
  }
  return result;
}

const char* TextString::EscapeUrlChars() {
  // The percent sign first, so that the escapes made after it stay single.
  static const char* const kEscapes[][2] = {
      {"%", "%25"}, {"#", "%23"}, {"$", "%24"}, {"&", "%26"}, {"+", "%2B"},
  };
  const char* result = text;
  for (const auto& escape : kEscapes) result = ReplaceCase(escape[0], escape[1], nullptr);
  return result;
}

// Works in place. The second pass does not know what the first did: an
// ampersand whose numeric reference lost its semicolon takes the next one.
char* TextString::ProtectEntities() {
  for (char* ampersand = FindIn(text, "&#", 0); ampersand != nullptr;
       ampersand = FindIn(ampersand + 1, "&#", 0)) {
    CloseNumericReference(ampersand);
  }
  char* position = text;
  for (char* ampersand = FindIn(position, "&", 0); ampersand != nullptr;
       ampersand = FindIn(position, "&", 0)) {
    if (ascii::StartsWithFolded(ampersand, "&amp;")) {
      position = ampersand + 1;
      continue;
    }
    char* semicolon = FindIn(ampersand, ";", 0);
    if (semicolon == nullptr) break;
    *semicolon = ',';
    position = semicolon;
  }
  return nullptr;
}
