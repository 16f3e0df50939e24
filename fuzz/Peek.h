#ifndef FUZZ_PEEK_H_
#define FUZZ_PEEK_H_

#include <cstdint>

#include "paths/PathString.h"
#include "strings/TextString.h"

// Read-only access to the fields behind the public operations, so that the
// fuzzers can hold every string to its data model without trusting the very
// accessors under test.
struct Peek : TextString {
  // A pointer to a protected member formed in a derived class may be applied
  // to any TextString, the caches a path creates included.
  static char* Text(const TextString& s) { return s.*(&Peek::text); }
  static uint32_t Size(const TextString& s) { return s.*(&Peek::size); }
  static uint32_t LastError(const TextString& s) { return s.*(&Peek::lastError); }
  static int32_t ErrorCode(const TextString& s) { return s.*(&Peek::errorCode); }
};

// A path whose displayText and component caches can be looked at.
class TestPath : public PathString {
 public:
  using PathString::PathString;

  static constexpr int kCacheCount = 4;

  const TextString& Display() const { return displayText; }

  // The caches in the order of the getters: drive, directory, file name,
  // arguments. Null until the getter first runs.
  const TextString* Cache(int index) const {
    const TextString* const caches[kCacheCount] = {driveCache, directoryCache, fileNameCache,
                                                   argumentsCache};
    return caches[index];
  }
};

#endif  // FUZZ_PEEK_H_
