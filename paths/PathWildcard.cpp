// Wildcard matching of the whole text: '*' for any run, '?' for any one byte.
#include <cstring>

#include "paths/PathString.h"
#include "strings/internal/Ascii.h"

namespace ascii = strings_internal::ascii;

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

// How two bytes compare: as they are, or as upper-cased copies of both texts
// would hold them (folding changes neither '*', '?' nor a blank).
struct Exact {
  static bool Same(char a, char b) { return a == b; }
};
struct Folded {
  static bool Same(char a, char b) { return ascii::ToUpper(a) == ascii::ToUpper(b); }
};

// No backtracking: after a run of '*' the text moves on to the first byte
// equal to the next pattern byte, and that choice stands.
template <typename Compare>
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
      while (!text.RestIsBlank() && !Compare::Same(text.Current(), pattern.Current())) {
        text.Advance();
      }
      continue;
    }
    if (pattern.Current() != '?' && !Compare::Same(pattern.Current(), text.Current())) return 0;
    pattern.Advance();
    text.Advance();
  }
}

}  // namespace

int PathString::MatchWildcard(const char* pattern, int caseSensitive) {
  // Both texts are only read, and case is folded byte by byte as they are
  // compared, which matches upper-cased copies without making any. A null
  // side is the empty text.
  const Cursor subject(text != nullptr ? text : "");
  const Cursor wanted(pattern != nullptr ? pattern : "");
  return caseSensitive == 0 ? MatchFrom<Folded>(subject, wanted)
                            : MatchFrom<Exact>(subject, wanted);
}

int PathString::MatchWildcard(const TextString* pattern, int caseSensitive) {
  return MatchWildcard(pattern != nullptr ? pattern->GetText() : nullptr, caseSensitive);
}
