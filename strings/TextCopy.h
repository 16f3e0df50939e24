#ifndef STRINGS_TEXTCOPY_H_
#define STRINGS_TEXTCOPY_H_

#include <cstddef>
#include <cstring>
#include <memory>

// CopyOf: a terminated heap copy of the `length` bytes at `begin`, for work
// that must survive the string it came from being rewritten. The library
// uses this rather than std::string so that a program linking it does not
// pull in the standard library's exception machinery.
inline std::unique_ptr<char[]> CopyOf(const char* begin, size_t length) {
  std::unique_ptr<char[]> copy(new char[length + 1]);
  std::memcpy(copy.get(), begin, length);
  copy[length] = '\0';
  return copy;
}

#endif  // STRINGS_TEXTCOPY_H_
