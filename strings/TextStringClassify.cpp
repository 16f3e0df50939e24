// Case conversion, tests of the characters of the text, the ending test and
// the occurrence count.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/Ascii.h"
#include "strings/TextString.h"

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
  for (; text[i] != '\0'; ++i) {
    if (static_cast<unsigned char>(text[i] - first) < 26) text[i] ^= 0x20;
  }
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

bool SameByte(char a, char b, bool caseSensitive) {
  return caseSensitive ? a == b : ascii::ToLower(a) == ascii::ToLower(b);
}

// Needles up to this length are counted by searching again one byte after
// each match: a search costs at most the needle's length beyond the
// distance it covers. For a longer needle that overlaps itself, that would
// be its length for every byte of the text.
constexpr size_t kLongestResearchedNeedle = 256;

// The overlapping occurrences of the `length` bytes of `needle` in `text`,
// in one pass (Knuth-Morris-Pratt): after a match or a mismatch the needle
// moves on as far as its own repeated prefixes allow, so the text is read
// once, however the occurrences overlap.
int CountInOnePass(const char* text, const char* needle, size_t length, bool caseSensitive) {
  const auto fold = [caseSensitive](char c) { return caseSensitive ? c : ascii::ToLower(c); };
  // border[i]: the length of the longest proper prefix of needle[0..i] that
  // is also its suffix.
  std::unique_ptr<size_t[]> border(new size_t[length]);
  border[0] = 0;
  for (size_t i = 1, k = 0; i < length; ++i) {
    while (k > 0 && fold(needle[i]) != fold(needle[k])) k = border[k - 1];
    if (fold(needle[i]) == fold(needle[k])) ++k;
    border[i] = k;
  }
  int count = 0;
  for (size_t i = 0, k = 0; text[i] != '\0'; ++i) {
    while (k > 0 && fold(text[i]) != fold(needle[k])) k = border[k - 1];
    if (fold(text[i]) == fold(needle[k])) ++k;
    if (k == length) {
      ++count;
      k = border[length - 1];
    }
  }
  return count;
}

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

int TextString::EndsWith(const char* other, int caseSensitive, int reversed) const {
  if (text == nullptr || other == nullptr) return 0;
  const char* subject = reversed != 0 ? other : text;
  const char* ending = reversed != 0 ? text : other;
  const size_t subjectLength = std::strlen(subject);
  const size_t endingLength = std::strlen(ending);
  if (endingLength > subjectLength) return 0;
  const char* tail = subject + (subjectLength - endingLength);
  for (size_t i = 0; i < endingLength; ++i) {
    if (!SameByte(tail[i], ending[i], caseSensitive != 0)) return 0;
  }
  return 1;
}

int TextString::Count(const char* what, int caseSensitive) const {
  if (what == nullptr) return 0;
  const size_t length = std::strlen(what);
  if (length > kLongestResearchedNeedle) {
    return text != nullptr ? CountInOnePass(text, what, length, caseSensitive != 0) : 0;
  }
  // Each search resumes one byte after the start of the last match, so
  // overlapping matches count too. A match never starts at the terminator,
  // so the resumed search stays inside the text.
  int count = 0;
  for (const char* p = Find(what, caseSensitive); p != nullptr;
       p = FindIn(p + 1, what, caseSensitive)) {
    ++count;
  }
  return count;
}
