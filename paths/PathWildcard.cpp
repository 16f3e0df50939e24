// Wildcard matching of the whole text: '*' for any run, '?' for any one byte.
#include <cstring>

#include "paths/PathString.h"
#include "strings/Ascii.h"

namespace {

// A read position in a text that knows where the text's closing run of
// blanks begins, so that "is the rest blank?" costs nothing: the match
// walks both texts once, never copying what is left of them.
class Cursor {
 public:
  explicit Cursor(const char* text) : at_(text), blankFrom_(text + std::strlen(text)) {
    while (blankFrom_ > text && ascii::IsBlankByte(blankFrom_[-1])) --blankFrom_;
  }

  bool RestIsBlank() const { return at_ >= blankFrom_; }
  char Current() const { return *at_; }
  void Advance() { ++at_; }
  void SkipStars() {
    while (*at_ == '*') ++at_;
  }

 private:
  const char* at_;
  const char* blankFrom_;
};

// No backtracking: after a run of '*' the text moves on to the first byte
// equal to the next pattern byte, and that choice stands.
int MatchFrom(Cursor text, Cursor pattern) {
  for (;;) {
    if (pattern.RestIsBlank()) return text.RestIsBlank() ? 1 : 0;
    if (text.RestIsBlank()) {
      pattern.SkipStars();
      return pattern.RestIsBlank() ? 1 : 0;
    }
    if (pattern.Current() == '*') {
      pattern.SkipStars();
      if (pattern.RestIsBlank()) return 1;
      while (!text.RestIsBlank() && text.Current() != pattern.Current()) text.Advance();
      continue;
    }
    if (pattern.Current() != '?' && pattern.Current() != text.Current()) return 0;
    pattern.Advance();
    text.Advance();
  }
}

}  // namespace

int PathString::MatchWildcard(const char* pattern, int caseSensitive) {
  // Copies, so that folding the case touches neither the path nor the
  // caller's pattern; a null side is the empty text.
  TextString copyOfText(text, 260);
  TextString copyOfPattern(pattern, 260);
  if (caseSensitive == 0) {
    copyOfText.MakeUpper();
    copyOfPattern.MakeUpper();
  }
  return MatchFrom(Cursor(copyOfText.GetText()), Cursor(copyOfPattern.GetText()));
}

int PathString::MatchWildcard(const TextString* pattern, int caseSensitive) {
  return MatchWildcard(pattern != nullptr ? pattern->GetText() : nullptr, caseSensitive);
}
