// URL escapes. The HTML character references are in
// TextStringEntitiesOneScan.cpp or TextStringEntitiesPlain.cpp, as the build
// chooses.
#include "strings/TextString.h"

const char* TextString::EscapeUrlChars() {
  // The percent sign first, so that the escapes made after it stay single.
  static const char* const kEscapes[][2] = {
      {"%", "%25"}, {"#", "%23"}, {"$", "%24"}, {"&", "%26"}, {"+", "%2B"},
  };
  const char* result = text;
  for (const auto& escape : kEscapes) result = ReplaceCase(escape[0], escape[1], nullptr);
  return result;
}
