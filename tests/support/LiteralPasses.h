#ifndef TESTS_SUPPORT_LITERALPASSES_H_
#define TESTS_SUPPORT_LITERALPASSES_H_

#include <functional>
#include <string>

#include "strings/TextString.h"

// The operations that are defined as sequences of passes, run literally:
// pass by pass, through the library's own ReplaceCase, ReplaceAll and Count,
// with the semicolons protected by the two searches that define that rule.
// The library writes their results in one scan; these are the reference it
// must match in everything a caller can see. Shared by the unit tests and
// the fuzzer, so it reports differences as text and calls neither.
namespace literal {

const char* DecodeEntities(TextString& s);
const char* EncodeEntities(TextString& s);
const char* RemoveWhitespace(TextString& s);
const char* ExpandTabs(TextString& s, unsigned width);

// ProtectEntities as its two passes of FindIn, without the library's own:
// DecodeEntities above must not lean on the rule it is held to.
void ProtectEntities(TextString& s);

using Sequence = std::function<const char*(TextString&)>;

// Twin: a string made with exactly `s`'s buffer, every byte up to its size
// (those after the terminator too), so that a literal sequence run on the
// twin and the one-scan operation run on `s` can be compared afterwards:
// result, text, size, every byte of the buffer and whether it was kept.
class Twin {
 public:
  explicit Twin(const TextString& s);
  Twin(const Twin&) = delete;
  Twin& operator=(const Twin&) = delete;

  // Runs `sequence` on the twin; then `s` must have been changed by the
  // one-scan operation (returning `result`) exactly as the twin was.
  // Returns what differs, or the empty text when nothing does.
  std::string Mismatch(const TextString& s, const char* result, const Sequence& sequence);

 private:
  TextString twin_;
  const char* before_;      // s's buffer when the twin was made
  const char* twinBefore_;  // the twin's
};

// Shown: a text made printable and cut to a readable length, for messages.
std::string Shown(const char* text, size_t length);

}  // namespace literal

#endif  // TESTS_SUPPORT_LITERALPASSES_H_
