#ifndef FUZZ_LITERALPASSES_H_
#define FUZZ_LITERALPASSES_H_

#include <cstdint>

#include "strings/TextString.h"

// The operations that are defined as sequences of passes, run literally:
// pass by pass, through the library's own ReplaceCase, ReplaceAll, Count
// and ProtectEntities. The library writes their results in one scan; these
// are the reference it must match in everything a caller can see.
namespace literal {

const char* DecodeEntities(TextString& s);
const char* EncodeEntities(TextString& s);
const char* RemoveWhitespace(TextString& s);

// Twin: a string made with exactly `s`'s buffer, every byte up to its size
// (those after the terminator too), so that a literal sequence run on the
// twin and the one-scan operation run on `s` can be compared afterwards:
// result, text, size, every byte of the buffer and whether it was kept.
class Twin {
 public:
  explicit Twin(const TextString& s);

  // Runs `sequence` on the twin; then `s` must have been changed by the
  // one-scan operation (returning `result`) exactly as the twin was.
  void Expect(const TextString& s, const char* result, const char* (*sequence)(TextString&),
              const char* which);

 private:
  TextString twin_;
  const char* before_;      // s's buffer when the twin was made
  const char* twinBefore_;  // the twin's
};

}  // namespace literal

#endif  // FUZZ_LITERALPASSES_H_
