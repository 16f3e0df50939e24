#ifndef PLATFORM_CODEPAGE_H_
#define PLATFORM_CODEPAGE_H_

// Conversions between 8-bit code pages and UTF-16, in the shape of the Win32
// calls they stand for (no flags, terminated input, measure then convert).
// The Win32 implementation makes exactly those calls; the POSIX one takes
// the ANSI code page to be Windows-1252 and reproduces what Windows does
// with flags 0: invalid UTF-8 becomes U+FFFD, and a character that the
// 8-bit code page lacks becomes '?'.
namespace platform {

constexpr unsigned kCodePageAnsi = 0;      // the system's ANSI code page
constexpr unsigned kCodePageUtf8 = 65001;  // UTF-8

// MultiByteToWide: converts the NUL-terminated `source`, taken in
// `codePage`, to UTF-16 with its terminator. With `out` null, returns the
// number of UTF-16 units needed (terminator included) and writes nothing.
// Otherwise writes at most `outUnits` units and returns how many it wrote;
// 0 when they do not fit or the code page is not known.
int MultiByteToWide(unsigned codePage, const char* source, char16_t* out, int outUnits);

// WideToMultiByte: the reverse: converts the terminated UTF-16 `source` to
// `codePage`, with the same measuring and result rules in bytes.
int WideToMultiByte(unsigned codePage, const char16_t* source, char* out, int outBytes);

// AnsiCodePage: the code page that kCodePageAnsi stands for right now.
unsigned AnsiCodePage();

}  // namespace platform

#endif  // PLATFORM_CODEPAGE_H_
