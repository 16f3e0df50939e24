#include "strings/TextSearch.h"

#include <cstring>

#include "strings/Ascii.h"

namespace textsearch {

const char* FindExact(const char* haystack, const char* needle, size_t needleLength) {
  if (needleLength == 0) return haystack;
  // strstr wants the needle terminated at needleLength, which callers ensure.
  return std::strstr(haystack, needle);
}

const char* FindFolded(const char* haystack, const char* needle, size_t needleLength) {
  if (needleLength == 0) return haystack;
  const char lower = ascii::ToLower(needle[0]);
  const char upper = ascii::ToUpper(needle[0]);
  for (const char* p = haystack; *p != '\0'; ++p) {
    if (*p != lower && *p != upper) continue;
    size_t i = 1;
    while (i < needleLength && p[i] != '\0' && ascii::ToLower(p[i]) == ascii::ToLower(needle[i])) {
      ++i;
    }
    if (i == needleLength) return p;
    // The haystack ended inside the needle: no later start can match either.
    if (p[i] == '\0') return nullptr;
  }
  return nullptr;
}

}  // namespace textsearch
