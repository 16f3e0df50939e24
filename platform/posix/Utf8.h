#ifndef PLATFORM_POSIX_UTF8_H_
#define PLATFORM_POSIX_UTF8_H_

// UTF-8 decoding and encoding one character at a time, with the replacement
// rules of the Win32 conversions under flags 0.
namespace platform {
namespace utf8 {

// What DecodeOne gives for a byte run that is not a whole, valid character.
constexpr char32_t kReplacement = 0xFFFD;

// DecodeOne: decodes the character that starts at `*cursor` (a byte from
// 0x80 up) in a NUL-terminated text and moves `*cursor` past the bytes it
// used. An invalid run gives kReplacement and never takes the terminator.
char32_t DecodeOne(const unsigned char** cursor);

// EncodedLength / Encode: the 1 to 4 bytes of `codePoint` (at most
// 0x10FFFF, no surrogates); Encode writes them to `out`.
int EncodedLength(char32_t codePoint);
void Encode(char32_t codePoint, unsigned char* out);

}  // namespace utf8
}  // namespace platform

#endif  // PLATFORM_POSIX_UTF8_H_
