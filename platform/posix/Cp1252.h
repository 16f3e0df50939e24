#ifndef PLATFORM_POSIX_CP1252_H_
#define PLATFORM_POSIX_CP1252_H_

// Windows-1252, the code page that stands for the ANSI code page here.
namespace platform {
namespace cp1252 {

// ToUnicode: the character of `byte`. Every byte has one: the five bytes
// that 1252 leaves undefined (81, 8D, 8F, 90, 9D) stand for the C1 controls
// of the same value, as on Windows.
// Inline: conversions call it for every byte from 0x80 up.
extern const char16_t kHighControls[32];  // the characters of 0x80 to 0x9F
inline char16_t ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

// FromUnicode: the byte for the UTF-16 unit `unit`: its own byte, else a
// best-fit look-alike, else '?'.
unsigned char FromUnicode(char16_t unit);

}  // namespace cp1252
}  // namespace platform

#endif  // PLATFORM_POSIX_CP1252_H_
