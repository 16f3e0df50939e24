// POSIX side of platform/Format.h: only code that calls the C library's printf family belongs here.
#include "platform/Format.h"

#include <cstdio>

namespace platform {

int FormattedLength(const char* format, va_list args) {
  return std::vsnprintf(nullptr, 0, format, args);
}

int FormatInto(char* out, size_t size, const char* format, va_list args) {
  if (out == nullptr || size == 0) return -1;
  const int length = std::vsnprintf(out, size, format, args);
  if (length < 0 || static_cast<size_t>(length) >= size) return -1;
  return length;
}

}  // namespace platform
