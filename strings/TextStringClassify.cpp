// Case conversion and tests of the characters of the text.
#include <cstddef>
#include <cstdint>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"

namespace ascii = strings_internal::ascii;

namespace {

// Turns the case of every letter from `first` on ('a' makes upper case, 'A'
// lower case), in place: a word at a time while the buffer holds whole
// words and none holds the terminator, then byte by byte. Bytes after the
// terminator are read but never written.
// Kept out of line: MakeUpper and MakeLower share one copy.
[[gnu::noinline]] char* FlipCase(char* text, uint32_t size, unsigned char first) {
  if (text == nullptr) return text;
  using ascii::word::Word;
  size_t i = 0;
  for (; i + sizeof(Word) <= size; i += sizeof(Word)) {
    const Word w = ascii::word::Load(text + i);
    if (ascii::word::HasZeroByte(w) != 0) break;
    ascii::word::Store(text + i, w ^ ascii::word::CaseBitsOfLetters(w, first));
  }
  for (; text[i] != '\0'; ++i) text[i] ^= ascii::CaseBitOfLetter(text[i], first);
  return text;
}

// 1 when every byte passes `test`. Nothing fails a test, so the empty text
// and a missing one give 1.
int EveryByte(const char* text, bool (*test)(char)) {
  if (text == nullptr) return 1;
  for (const char* p = text; *p != '\0'; ++p) {
    if (!test(*p)) return 0;
  }
  return 1;
}

// Line breaks and tabs; unlike the blanks of IsBlank, not the space.
bool IsBreakByte(char c) { return c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

char* TextString::MakeUpper() { return FlipCase(text, size, 'a'); }

char* TextString::MakeLower() { return FlipCase(text, size, 'A'); }

int TextString::IsHexNumber() const { return EveryByte(text, ascii::IsHexDigit); }

int TextString::IsNumber() const { return EveryByte(text, ascii::IsDigit); }

int TextString::IsBreakOnly() const { return EveryByte(text, IsBreakByte); }

int TextString::IsComment() const {
  if (text == nullptr) return 0;
  // Judged on a copy without any blanks: the first byte left is the first
  // non-blank byte of the text.
  TextString copy(text, 260);
  copy.RemoveWhitespace();
  return copy.GetText()[0] == ';' ? 1 : 0;
}
