#ifndef PLATFORM_FORMAT_H_
#define PLATFORM_FORMAT_H_

#include <cstdarg>
#include <cstddef>

// printf-style formatting by the platform's C runtime: on Windows the
// system's msvcrt.dll (its conversions, e.g. %I64d rather than %lld), on
// POSIX the C library's. Neither function keeps `args`; pass a va_copy to
// use a list twice.
namespace platform {

// FormattedLength: the length of the formatted text, terminator excluded;
// negative when the format cannot be formatted.
int FormattedLength(const char* format, va_list args);

// FormatInto: formats into `out` of `size` bytes. Returns the length written,
// terminator excluded, when the whole text and its terminator fit; negative
// otherwise (the contents of `out` are then unspecified).
int FormatInto(char* out, size_t size, const char* format, va_list args);

}  // namespace platform

#endif  // PLATFORM_FORMAT_H_
