#ifndef STRINGS_INTERNAL_PASSPLAN_H_
#define STRINGS_INTERNAL_PASSPLAN_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// Several operations are defined as a sequence of ReplaceAll passes, and
// each pass's buffer rule (keep the buffer when the result leaves room,
// else take one of exactly the result's size) shows in what they leave.
// When no pass can create or destroy another pass's matches, every pass's
// number of matches is known from one scan of the original text; PlanPasses
// then works out the buffer the whole sequence leaves, so that the result
// can be written once instead of pass by pass.

// Pass: one ReplaceAll pass, as its matches and the change in length that
// each match makes (negative when the replacement is shorter).
struct Pass {
  uint64_t matches;
  int64_t change;
};

// PassOutcome: what the sequence leaves.
struct PassOutcome {
  uint64_t length = 0;    // of the final text
  uint64_t size = 0;      // of the final buffer: the old size when kept
  bool changed = false;   // some pass matched, so the text was rewritten
  bool replaced = false;  // some pass took a new buffer
  bool tooLong = false;   // some pass's result did not fit 32 bits, so that
                          // pass did nothing: the one-scan counts no longer
                          // hold and the passes must run one by one
};

// PlanPasses: the outcome of `count` passes over a text of `length` bytes in
// a buffer of `size` bytes.
PassOutcome PlanPasses(uint64_t length, uint64_t size, const Pass* passes, size_t count);

// ZeroAfterText: the bytes that the passes zero after the final text,
// `buffer` being the final one: a new buffer to its end; a kept one up to
// its capacity, so that its very last byte stays what it was.
inline void ZeroAfterText(char* buffer, const PassOutcome& outcome) {
  const uint64_t end = outcome.replaced ? outcome.size : outcome.size - 1;
  if (end > outcome.length + 1) {
    std::memset(buffer + outcome.length + 1, 0, static_cast<size_t>(end - outcome.length - 1));
  }
}

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_PASSPLAN_H_
