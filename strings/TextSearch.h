#ifndef STRINGS_TEXTSEARCH_H_
#define STRINGS_TEXTSEARCH_H_

#include <cstddef>

// Substring search shared by every operation that looks for a text. Both
// forms run in time linear in the haystack for a given needle and make no
// copies, so loops that resume after each match stay linear overall.
namespace textsearch {

// FindExact: first occurrence of `needle` (length `needleLength`) in the
// NUL-terminated `haystack`, or null. An empty needle matches at `haystack`.
const char* FindExact(const char* haystack, const char* needle, size_t needleLength);

// FindFolded: as FindExact, with the ASCII letters folded.
const char* FindFolded(const char* haystack, const char* needle, size_t needleLength);

inline const char* Find(const char* haystack, const char* needle, size_t needleLength,
                        bool caseSensitive) {
  return caseSensitive ? FindExact(haystack, needle, needleLength)
                       : FindFolded(haystack, needle, needleLength);
}

}  // namespace textsearch

#endif  // STRINGS_TEXTSEARCH_H_
