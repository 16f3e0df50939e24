#ifndef STRINGS_ASCII_H_
#define STRINGS_ASCII_H_

// ASCII-only character classes and case folding, from our own tables so that
// no C library locale can ever widen them: bytes from 0x80 up are never
// letters or digits and never change case.
namespace ascii {

inline char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
// The four bytes that IsBlank and the whitespace operations treat as blank.
inline bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace ascii

#endif  // STRINGS_ASCII_H_
