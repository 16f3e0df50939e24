#ifndef STRINGS_INTERNAL_TEXTSEARCH_H_
#define STRINGS_INTERNAL_TEXTSEARCH_H_

#include <cstddef>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// Substring search shared by every operation that looks for a text, and the
// one-pass count of overlapping occurrences. Every form runs in time linear
// in the haystack for a given needle and copies no text, so loops that
// resume after each match stay linear overall.
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

// CountOverlapping: the occurrences of `needle` (length `needleLength`, at
// least 1) in the NUL-terminated `haystack`, overlapping ones included
// ("aa" is in "aaaa" three times), exact or with the ASCII letters folded.
// One pass over the haystack, whatever the needle.
size_t CountOverlapping(const char* haystack, const char* needle, size_t needleLength,
                        bool caseSensitive);

}  // namespace textsearch

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_TEXTSEARCH_H_
