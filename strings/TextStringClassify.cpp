// Case conversion, tests of the characters of the text, the ending test and
// the occurrence count.
#include <cstddef>
#include <cstring>

#include "strings/Ascii.h"
#include "strings/TextString.h"

namespace {

// Rewrites every byte through `convert`, in place.
char* ConvertEach(char* text, char (*convert)(char)) {
  if (text == nullptr) return text;
  for (char* p = text; *p != '\0'; ++p) *p = convert(*p);
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

}  // namespace

char* TextString::MakeUpper() { return ConvertEach(text, ascii::ToUpper); }

char* TextString::MakeLower() { return ConvertEach(text, ascii::ToLower); }

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
