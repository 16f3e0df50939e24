// Comparison, the blank tests, search, the ending test and the occurrence
// count.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/FoldedCompare.h"
#include "strings/internal/TextSearch.h"

namespace ascii = strings_internal::ascii;
namespace textsearch = strings_internal::textsearch;

namespace {

bool SameByte(char a, char b, bool caseSensitive) {
  return caseSensitive ? a == b : ascii::ToLower(a) == ascii::ToLower(b);
}

// Needles up to this length are counted by searching again one byte after
// each match: a search costs at most the needle's length beyond the
// distance it covers. For a longer needle that overlaps itself, that would
// be its length for every byte of the text.
constexpr size_t kLongestResearchedNeedle = 256;

// IsEqual measures and compares blocks of up to this many bytes of each
// text, so that a block is still in the first-level cache when compared.
constexpr size_t kLargestComparedBlock = 4096;

}  // namespace

int TextString::Compare(const ObjectBase* other, int byLength) const {
  // Anything that is not a TextString has no text to order by: take it as null.
  const TextString* peer = dynamic_cast<const TextString*>(other);
  if (byLength == 1) {
    if (peer == nullptr) return GetLength() != 0 ? 1 : 0;
    const unsigned mine = GetLength();
    const unsigned theirs = peer->GetLength();
    return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
  }
  if (peer == nullptr || peer->GetText() == nullptr) return text != nullptr ? 1 : 0;
  if (text == nullptr) return -1;
  return std::strcmp(text, peer->GetText());
}

int TextString::IsEqual(const char* other, int caseSensitive) const {
  if (text == nullptr || other == nullptr) return 0;
  if (caseSensitive != 0) return std::strcmp(text, other) == 0 ? 1 : 0;
  // Folding keeps every byte a byte, so texts equal but for case end at the
  // same place. Both are measured a block at a time, never further than the
  // shorter one reaches, and each block is compared while it is still in
  // the cache.
  size_t at = 0;
  size_t block = 64;
  for (;;) {
    // memchr stops at the terminator it finds: a block may reach past a
    // text's end.
    const char* endOfMine = static_cast<const char*>(std::memchr(text + at, '\0', block));
    const char* endOfOther = static_cast<const char*>(std::memchr(other + at, '\0', block));
    if ((endOfMine == nullptr) != (endOfOther == nullptr)) return 0;
    const size_t span = endOfMine != nullptr ? static_cast<size_t>(endOfMine - (text + at)) : block;
    if (endOfOther != nullptr && static_cast<size_t>(endOfOther - (other + at)) != span) return 0;
    if (!strings_internal::FoldedEqual(text + at, other + at, span)) return 0;
    if (endOfMine != nullptr) return 1;
    at += block;
    if (block < kLargestComparedBlock) block *= 2;
  }
}

int TextString::HasSpace() const {
  return text != nullptr && std::strchr(text, ' ') != nullptr ? 1 : 0;
}

int TextString::IsBlank() const {
  if (text == nullptr) return 1;
  for (const char* p = text; *p != '\0'; ++p) {
    if (!ascii::IsBlankByte(*p)) return 0;
  }
  return 1;
}

char* TextString::FindIn(const char* haystack, const char* what, int caseSensitive) const {
  // Even an empty `what` finds nothing in an empty text.
  if (haystack == nullptr || *haystack == '\0' || what == nullptr) return nullptr;
  // Loops search for one byte again and again: no call to measure it.
  const size_t length = what[0] == '\0' ? 0 : what[1] == '\0' ? 1 : std::strlen(what);
  const char* found = textsearch::Find(haystack, what, length, caseSensitive != 0);
  return const_cast<char*>(found);
}

char* TextString::Find(const char* what, int caseSensitive) const {
  if (text == nullptr || what == nullptr) return nullptr;
  return FindIn(text, what, caseSensitive);
}

int TextString::EndsWith(const char* other, int caseSensitive, int reversed) const {
  if (text == nullptr || other == nullptr) return 0;
  const char* subject = reversed != 0 ? other : text;
  const char* ending = reversed != 0 ? text : other;
  const size_t subjectLength = std::strlen(subject);
  const size_t endingLength = std::strlen(ending);
  if (endingLength > subjectLength) return 0;
  const char* tail = subject + (subjectLength - endingLength);
  for (size_t i = 0; i < endingLength; ++i) {
    if (!SameByte(tail[i], ending[i], caseSensitive != 0)) return 0;
  }
  return 1;
}

int TextString::Count(const char* what, int caseSensitive) const {
  if (what == nullptr) return 0;
  const size_t length = std::strlen(what);
  if (length > kLongestResearchedNeedle) {
    if (text == nullptr) return 0;
    return static_cast<int>(textsearch::CountOverlapping(text, what, length, caseSensitive != 0));
  }
  // Each search resumes one byte after the start of the last match, so
  // overlapping matches count too. A match never starts at the terminator,
  // so the resumed search stays inside the text.
  int count = 0;
  for (const char* p = Find(what, caseSensitive); p != nullptr;
       p = FindIn(p + 1, what, caseSensitive)) {
    ++count;
  }
  return count;
}
