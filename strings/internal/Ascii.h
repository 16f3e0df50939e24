#ifndef STRINGS_INTERNAL_ASCII_H_
#define STRINGS_INTERNAL_ASCII_H_

#include <cstdint>
#include <cstring>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// ASCII-only character classes and case folding, from our own tables so that
// no C library locale can ever widen them: bytes from 0x80 up are never
// letters or digits and never change case.
namespace ascii {

inline bool IsLetter(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }
inline char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
// A letter in the other case; any other byte as it is.
inline char SwapCase(char c) { return IsLetter(c) ? static_cast<char>(c ^ 0x20) : c; }
// The case bit (0x20) when `c` is one of the 26 letters from `first` on ('a'
// or 'A'), else 0: word::CaseBitsOfLetters for a single byte.
inline char CaseBitOfLetter(char c, unsigned char first) {
  return static_cast<unsigned char>(c - first) < 26 ? 0x20 : 0;
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
// The four bytes that IsBlank and the whitespace operations treat as blank.
inline bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// StartsWithFolded: whether `text` begins with `prefix`, ASCII case folded.
// Reads no further than the prefix's or the text's terminator.
inline bool StartsWithFolded(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (*text == '\0' || ToLower(*text) != ToLower(*prefix)) return false;
  }
  return true;
}

// A machine word of bytes at a time, for the loops over long texts. A word
// is read and written with memcpy; the order of its bytes never matters,
// since no result carries from one byte to the next.
namespace word {

using Word = uintptr_t;
constexpr Word kOnes = static_cast<Word>(0x0101010101010101ULL);
constexpr Word kHighBits = static_cast<Word>(0x8080808080808080ULL);

inline Word Load(const char* at) {
  Word w;
  std::memcpy(&w, at, sizeof w);
  return w;
}
inline void Store(char* at, Word w) { std::memcpy(at, &w, sizeof w); }

// Non-zero when one of the bytes is zero.
inline Word HasZeroByte(Word w) { return (w - kOnes) & ~w & kHighBits; }

// The case bit (0x20) of every byte that is one of the 26 letters from
// `first` on ('a' or 'A'); bytes from 0x80 up never are.
inline Word CaseBitsOfLetters(Word w, unsigned char first) {
  const Word sevenBits = w & ~kHighBits;
  const Word atLeastFirst = sevenBits + kOnes * (0x80 - first);
  const Word pastLast = sevenBits + kOnes * (0x80 - first - 26);
  return (atLeastFirst & ~pastLast & ~w & kHighBits) >> 2;
}

// Each byte of `w` as ascii::ToLower gives it.
inline Word ToLower(Word w) { return w | CaseBitsOfLetters(w, 'A'); }

}  // namespace word

}  // namespace ascii

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_ASCII_H_
