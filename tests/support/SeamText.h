#ifndef TESTS_SUPPORT_SEAMTEXT_H_
#define TESTS_SUPPORT_SEAMTEXT_H_

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>

#include "strings/TextString.h"
#include "tests/support/LiteralPasses.h"

// Inputs for the rows that hold the tuned operations at their seams: where a
// word, a block, a window or a part of the work ends, and where the text
// does.

// SeamText: `length` bytes of `filler` repeated, with `piece` written over
// them from `at` on, cut off where the text ends.
inline std::string SeamText(size_t length, const std::string& filler, size_t at,
                            const std::string& piece) {
  std::string text(length, ' ');
  for (size_t i = 0; i < length; ++i) text[i] = filler[i % filler.size()];
  for (size_t i = 0; i < piece.size() && at + i < length; ++i) text[at + i] = piece[i];
  return text;
}

// SeamStarts: every place below `length` from which a piece of `width`
// bytes ends just before one of `seams`, straddles it or begins right at it,
// reaching at least 8 bytes back (the widest load); the seam `length`
// itself gives the pieces that end the text, whole or cut short.
inline std::set<size_t> SeamStarts(size_t length, size_t width,
                                   std::initializer_list<size_t> seams) {
  std::set<size_t> starts;
  const size_t reach = std::max<size_t>(width, 8) + 1;
  for (size_t seam : seams) {
    if (seam > length) continue;
    for (size_t at = seam > reach ? seam - reach : 0; at <= seam + 1 && at < length; ++at) {
      starts.insert(at);
    }
  }
  return starts;
}

// HoldStale: makes `s` hold `text` with the given capacity (at least the
// text's length), every byte after the terminator stale, as a kept buffer
// may leave them: what an operation writes there, or fails to clear, shows.
inline void HoldStale(TextString& s, const std::string& text, unsigned capacity) {
  static const char kStale[] = "&#7; &amp;\t;";
  s.Free();
  s.Assign(text.c_str(), capacity);
  char* buffer = s.GetText();
  for (size_t i = text.size() + 1; i <= s.GetCapacity(); ++i) {
    buffer[i] = kStale[i % (sizeof kStale - 1)];
  }
}

// AgainstPasses: runs `operation` (which returns the text) on a string
// holding `text` as HoldStale makes it, and `passes` on its twin; returns
// what differs between the two afterwards, or the empty text.
template <typename Operation>
std::string AgainstPasses(const std::string& text, unsigned capacity, Operation operation,
                          const literal::Sequence& passes) {
  TextString s;
  HoldStale(s, text, capacity);
  literal::Twin twin(s);
  const char* result = operation(s);
  return twin.Mismatch(s, result, passes);
}

// Mismatches: how many rows of a large table differed, and the first, so
// that a fault at a seam reports once rather than a thousand times.
class Mismatches {
 public:
  void Add(const std::string& row, const std::string& mismatch) {
    if (mismatch.empty()) return;
    if (count_++ == 0) first_ = row + ": " + mismatch;
  }
  int count() const { return count_; }
  const std::string& first() const { return first_; }

 private:
  int count_ = 0;
  std::string first_;
};

#endif  // TESTS_SUPPORT_SEAMTEXT_H_
