// Trimming single characters from either end.
#include <cstring>

#include "strings/TextString.h"

const char* TextString::TrimRight() {
  if (text == nullptr) return text;
  for (size_t length = std::strlen(text); length > 0; --length) {
    if (text[length - 1] != ' ' && text[length - 1] != '\t') break;
    text[length - 1] = '\0';
  }
  return text;
}

const char* TextString::TrimRightChar(char c, int all) {
  if (text == nullptr) return text;
  size_t length = std::strlen(text);
  if (length == 0) return text;
  if (c == '\0') {
    text[length - 1] = '\0';
    return text;
  }
  while (length > 0 && text[length - 1] == c) {
    text[--length] = '\0';
    if (all == 0) break;
  }
  return text;
}

const char* TextString::TrimLeftChar(char c) {
  if (text == nullptr || text[0] == '\0') return text;
  size_t skip = 0;
  if (c == '\0') {
    skip = 1;
  } else {
    while (text[skip] == c) ++skip;  // The whole run goes: there is no `all` here.
  }
  if (skip == 0) return text;
  // Assign detaches a source that lies in our own buffer, so the rest can be
  // handed over directly: the result is that of a temporary copy.
  return Assign(text + skip, 0);
}
