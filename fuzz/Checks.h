#ifndef FUZZ_CHECKS_H_
#define FUZZ_CHECKS_H_

#include <cstdint>
#include <string>

#include "fuzz/Oracle.h"
#include "fuzz/Report.h"
#include "fuzz/World.h"
#include "strings/TextString.h"

// What the string_operations fuzzer holds every string to. A broken rule
// ends the run through report::Fail, naming the string and what was wrong.
namespace fuzz {

// The names every driver uses.
using oracle::Buffer;
using report::Fail;
using report::Require;
using report::Show;

// The data model of every string of the world, the caches and displayText
// of the paths and the strings made for the operation included: text null
// exactly when size is 0, the buffer a live heap block of exactly `size`
// bytes with a terminator in it, and the texts that a getter or Abbreviate
// handed out still unchanged.
void CheckWorld(const World& w);

// A string as an operation found it.
struct Before {
  Buffer model;
  const char* ptr;
  uint32_t lastError;
  int32_t errorCode;
};

Before Snap(const TextString& s);

// The string holds what the model says, in the buffer it says (`before`:
// the buffer it had).
void Expect(const TextString& s, const Buffer& want, const char* before, const char* which);

// The string has a buffer holding `want`, in whatever buffer.
void ExpectText(const TextString& s, const std::string& want, const char* which);

// The string is as it was: text, capacity and buffer.
void ExpectUnchanged(const TextString& s, const Before& before, const char* which);

// The operation returned the string's text pointer.
void ReturnsText(const TextString& s, const char* result);

// The string's error record is still what it was.
bool KeepsErrorRecord(const TextString& s, const Before& before);

// An edit that returns the string's text, checked against the model:
// `model` does to the model what `operation` must do to the string. Both
// take their arguments as the operation found them.
// Returns what the operation returned.
template <typename Model, typename Operation>
auto CheckEdit(TextString& s, const char* which, Model model, Operation operation) {
  const Before before = Snap(s);
  Buffer want = before.model;
  model(want);
  const auto result = operation();
  ReturnsText(s, result);
  Expect(s, want, before.ptr, which);
  return result;
}

// An operation without arguments that changes the text, checked against
// the model's operation of the same name; `*result` (when given) receives
// what the operation returned.
template <typename String, typename Result>
void CheckPlainEdit(String& s, const char* name, void (Buffer::*model)(),
                    Result (String::*operation)(), Result* result = nullptr) {
  report::CurrentOperation() = name;
  const Result returned = CheckEdit(
      s, name, [&](Buffer& want) { (want.*model)(); }, [&] { return (s.*operation)(); });
  if (result != nullptr) *result = returned;
}

}  // namespace fuzz

#endif  // FUZZ_CHECKS_H_
