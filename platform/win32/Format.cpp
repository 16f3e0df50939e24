// Win32 side of platform/Format.h: only code that calls the system's msvcrt.dll belongs here.
#include "platform/Format.h"

#include <stdio.h>

namespace platform {

// msvcrt.dll's own functions, called by their underscore names: the plain
// names are MinGW's statically linked C99 printf, which would add tens of
// kilobytes to setup.exe and format differently from the system's.
int FormattedLength(const char* format, va_list args) { return _vscprintf(format, args); }

int FormatInto(char* out, size_t size, const char* format, va_list args) {
  if (out == nullptr || size == 0) return -1;
  const int length = _vsnprintf(out, size, format, args);
  // _vsnprintf reports -1 when the text does not fit, and leaves the
  // terminator out when it fits exactly without it.
  if (length < 0 || static_cast<size_t>(length) >= size) return -1;
  return length;
}

}  // namespace platform
