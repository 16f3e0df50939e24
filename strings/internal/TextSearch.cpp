#include "strings/internal/TextSearch.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/internal/Ascii.h"

namespace strings_internal {

namespace textsearch {
namespace {

// The first starts are tried one by one: a search that resumes after a
// match usually finds the next one soon, and trying a start directly costs
// nothing to set up.
constexpr size_t kDirectStarts = 64;
// Past them the search skips ahead over pairs of bytes that the needle does
// not hold. Skipping needs to know where the text ends, so the text is
// measured a block at a time, never as a whole: measuring the rest of a long
// text on every call would make a loop that resumes after each match
// quadratic. Blocks grow, so that measuring costs at most about twice the
// distance searched.
constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = size_t{1} << 20;
// Skips are kept in a byte; longer needles go through PrefixSearch.
constexpr size_t kLongestSkipNeedle = 256;

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// How bytes compare: exactly, or with A to Z read as a to z (no other byte
// changes). The search is written once for both and compiled for each, so
// that the exact one pays nothing for folding.
struct Exact {
  static constexpr bool kFolds = false;
  static unsigned char Of(char c) { return Byte(c); }
  static bool Same(const char* a, const char* b, size_t n) { return std::memcmp(a, b, n) == 0; }
};

struct Folded {
  static constexpr bool kFolds = true;
  static unsigned char Of(char c) { return Byte(ascii::ToLower(c)); }
  static bool Same(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (Of(a[i]) != Of(b[i])) return false;
    }
    return true;
  }
};

enum class Outcome { kFound, kAbsent, kUndecided };

// How far the direct tries got: the match, or the first start not yet tried
// (every byte before it is known to lie inside the text).
struct Progress {
  const char* found = nullptr;
  size_t next = 0;
};

// The needle at `start`, read no further than the text's terminator, which
// never equals a needle byte. kAbsent when the terminator came first: no
// later start can hold the needle either.
template <typename Fold>
Outcome TryStart(const char* text, size_t start, const char* needle, size_t n, Progress& at) {
  size_t i = 1;
  while (i < n && Fold::Of(text[start + i]) == Fold::Of(needle[i])) ++i;
  if (i == n) {
    at.found = text + start;
    return Outcome::kFound;
  }
  return text[start + i] == '\0' ? Outcome::kAbsent : Outcome::kUndecided;
}

// Where the needle's first byte stands next, from `from` on: strchr finds
// it, or, when it is a letter to fold, strcspn finds it in either case.
// Null at the end of the text.
class FirstByte {
 public:
  template <typename Fold>
  static FirstByte Of(const char* needle) {
    FirstByte first;
    first.set_[0] = needle[0];
    if (Fold::kFolds && ascii::IsLetter(needle[0])) first.set_[1] = ascii::SwapCase(needle[0]);
    return first;
  }

  const char* Next(const char* from) const {
    if (set_[1] == '\0') return std::strchr(from, set_[0]);
    const char* at = from + std::strcspn(from, set_);
    return *at != '\0' ? at : nullptr;
  }

 private:
  char set_[3] = {};
};

// Starts below `limit` where the first needle byte stands, each one tried.
template <typename Fold>
Outcome TryCandidates(const char* text, const char* needle, size_t n, size_t limit, Progress& at) {
  const FirstByte first = FirstByte::Of<Fold>(needle);
  for (const char* p = first.Next(text); p != nullptr; p = first.Next(p + 1)) {
    const size_t start = static_cast<size_t>(p - text);
    if (start >= limit) {
      at.next = start;
      return Outcome::kUndecided;
    }
    const Outcome outcome = TryStart<Fold>(text, start, needle, n, at);
    if (outcome != Outcome::kUndecided) return outcome;
  }
  return Outcome::kAbsent;
}

// The needle's last two bytes under a text position decide how far the
// needle can move: to the nearest place where the pair occurs in it.
template <typename Fold>
size_t PairHash(char a, char b) {
  return ((static_cast<size_t>(Fold::Of(a)) << 3) ^ Fold::Of(b)) & 0xFF;
}

// Starts from `base` on, for needles of 3 to kLongestSkipNeedle bytes.
template <typename Fold>
const char* SkipSearch(const char* text, const char* needle, size_t n, size_t base) {
  const size_t last = n - 1;
  // For each pair hash, the largest needle index ending such a pair; 0 when
  // no pair of the needle has it (the first byte ends none).
  uint8_t pairEnd[256] = {};
  for (size_t j = 1; j < last; ++j)
    pairEnd[PairHash<Fold>(needle[j - 1], needle[j])] = static_cast<uint8_t>(j);
  const size_t lastHash = PairHash<Fold>(needle[last - 1], needle[last]);
  // After a miss with the last pairs agreeing: the next place where the
  // needle holds that pair somewhere else.
  const size_t afterMiss = last - pairEnd[lastHash];
  pairEnd[lastHash] = static_cast<uint8_t>(last);

  size_t known = base;  // bytes before `known` lie inside the text
  bool ended = false;   // the byte at `known` is the terminator
  size_t block = kFirstBlock;
  size_t end = base + last;  // the text position under the needle's last byte
  for (;;) {
    if (end >= known) {
      if (ended) return nullptr;
      // memchr stops at the terminator it finds, so a block may reach past
      // the text's end.
      const void* terminator = std::memchr(text + known, '\0', block);
      if (terminator != nullptr) {
        known = static_cast<size_t>(static_cast<const char*>(terminator) - text);
        ended = true;
      } else {
        known += block;
        if (block < kLargestBlock) block *= 2;
      }
      continue;
    }
    const size_t j = pairEnd[PairHash<Fold>(text[end - 1], text[end])];
    if (j == 0) {
      end += last;  // the pair is nowhere in the needle: move past its first byte
    } else if (j < last) {
      end += last - j;
    } else {
      const char* start = text + end - last;
      if (Fold::Same(start, needle, n)) return start;
      end += afterMiss;
    }
  }
}

// The needle's prefix table (Knuth-Morris-Pratt) and how much of the needle
// the text read so far ends with. After a mismatch, or a match, the needle
// moves on as far as its own repeated prefixes allow, so the text is read
// once. Trying a long needle start by start instead would read up to its
// whole length again at every start: quadratic when it nearly matches
// everywhere, as a long run of one byte does.
template <typename Fold>
class PrefixMatcher {
 public:
  PrefixMatcher(const char* needle, size_t n) : needle_(needle), n_(n), border_(new size_t[n]) {
    // border_[i]: the length of the longest proper prefix of needle[0..i]
    // that is also its suffix.
    border_[0] = 0;
    for (size_t i = 1, k = 0; i < n; ++i) {
      while (k > 0 && Fold::Of(needle[i]) != Fold::Of(needle[k])) k = border_[k - 1];
      if (Fold::Of(needle[i]) == Fold::Of(needle[k])) ++k;
      border_[i] = k;
    }
  }

  // Takes the next text byte; true when an occurrence of the needle ends
  // with it. Matching goes on from the longest part of that occurrence that
  // can begin the next one, so overlapping occurrences are all seen.
  bool EndsOccurrence(char c) {
    while (matched_ > 0 && Fold::Of(c) != Fold::Of(needle_[matched_])) {
      matched_ = border_[matched_ - 1];
    }
    if (Fold::Of(c) == Fold::Of(needle_[matched_])) ++matched_;
    if (matched_ < n_) return false;
    matched_ = border_[n_ - 1];
    return true;
  }

 private:
  const char* needle_;
  size_t n_;
  std::unique_ptr<size_t[]> border_;
  size_t matched_ = 0;
};

// Starts from `base` on, for needles too long to skip with.
template <typename Fold>
const char* PrefixSearch(const char* text, const char* needle, size_t n, size_t base) {
  PrefixMatcher<Fold> matcher(needle, n);
  for (size_t i = base; text[i] != '\0'; ++i) {
    if (matcher.EndsOccurrence(text[i])) return text + i + 1 - n;
  }
  return nullptr;
}

template <typename Fold>
size_t PrefixCount(const char* text, const char* needle, size_t n) {
  PrefixMatcher<Fold> matcher(needle, n);
  size_t count = 0;
  for (const char* p = text; *p != '\0'; ++p) count += matcher.EndsOccurrence(*p) ? 1 : 0;
  return count;
}

template <typename Fold>
const char* Search(const char* text, const char* needle, size_t n) {
  const size_t limit = n >= 3 ? kDirectStarts : SIZE_MAX;
  Progress at;
  const Outcome outcome = TryCandidates<Fold>(text, needle, n, limit, at);
  if (outcome == Outcome::kFound) return at.found;
  if (outcome == Outcome::kAbsent) return nullptr;
  // Built for size, the prefix table serves every needle: slower than
  // skipping, and as linear.
  if (TEXTSTRING_SMALL_CODE || n > kLongestSkipNeedle) {
    return PrefixSearch<Fold>(text, needle, n, at.next);
  }
  return SkipSearch<Fold>(text, needle, n, at.next);
}

bool HasLetter(const char* needle, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (ascii::IsLetter(needle[i])) return true;
  }
  return false;
}

}  // namespace

const char* FindExact(const char* haystack, const char* needle, size_t needleLength) {
  if (needleLength == 0) return haystack;
  if (needleLength == 1) return std::strchr(haystack, needle[0]);
  return Search<Exact>(haystack, needle, needleLength);
}

const char* FindFolded(const char* haystack, const char* needle, size_t needleLength) {
  if (needleLength == 0) return haystack;
  // Folding changes nothing for a needle without letters.
  if (!HasLetter(needle, needleLength)) return FindExact(haystack, needle, needleLength);
  return Search<Folded>(haystack, needle, needleLength);
}

size_t CountOverlapping(const char* haystack, const char* needle, size_t needleLength,
                        bool caseSensitive) {
  return caseSensitive ? PrefixCount<Exact>(haystack, needle, needleLength)
                       : PrefixCount<Folded>(haystack, needle, needleLength);
}

}  // namespace textsearch

}  // namespace strings_internal
