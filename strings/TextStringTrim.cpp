// Trimming: blanks, single characters and sets of characters, from either
// end.
#include <cstddef>
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"

namespace ascii = strings_internal::ascii;

namespace {

// The characters a set trim removes. Membership folds ASCII case like every
// other search, so a set holding "x" also takes "X" (and the other way
// round). It is looked up in a table made in one pass over the set: asking
// the set itself for every byte of the text would cost the set's length per
// byte, and a long set on a long text would take quadratic time.
class TrimSet {
 public:
  explicit TrimSet(const char* set) : members_(set, 260) {
    for (const char* p = members_.GetText(); *p != '\0'; ++p) {
      contains_[static_cast<unsigned char>(ascii::ToLower(*p))] = true;
    }
  }

  // Blanks are the business of TrimLeft and TrimRight: a set of nothing but
  // blanks (or no set at all) trims nothing.
  bool TrimsNothing() const { return members_.IsBlank() != 0; }

  // The terminator is never a member.
  bool Contains(char c) const { return contains_[static_cast<unsigned char>(ascii::ToLower(c))]; }

 private:
  TextString members_;
  bool contains_[256] = {};
};

// Stores the text from byte `skip` on, as every left trim does. Assign reads
// an argument that lies in the string's own buffer as a separate copy, so
// the tail is passed directly: the result is that of a temporary copy.
const char* KeepFrom(TextString& s, size_t skip) { return s.Assign(s.GetText() + skip, 0); }

}  // namespace

const char* TextString::TrimLeft() {
  if (GetLength() == 0) return text;
  // Line breaks end the run: a text that starts a new line keeps it.
  const size_t skip = std::strspn(text, " \t");
  return skip == 0 ? text : KeepFrom(*this, skip);
}

const char* TextString::TrimRight() {
  if (text == nullptr) return text;
  for (size_t length = std::strlen(text); length > 0; --length) {
    if (text[length - 1] != ' ' && text[length - 1] != '\t') break;
    text[length - 1] = '\0';
  }
  return text;
}

const char* TextString::TrimRightChar(char c, int all) {
  if (text == nullptr) return text;
  size_t length = std::strlen(text);
  if (length == 0) return text;
  if (c == '\0') {
    text[length - 1] = '\0';
    return text;
  }
  while (length > 0 && text[length - 1] == c) {
    text[--length] = '\0';
    if (all == 0) break;
  }
  return text;
}

const char* TextString::TrimLeftChar(char c) {
  if (text == nullptr || text[0] == '\0') return text;
  size_t skip = 0;
  if (c == '\0') {
    skip = 1;
  } else {
    while (text[skip] == c) ++skip;  // The whole run goes: there is no `all` here.
  }
  return skip == 0 ? text : KeepFrom(*this, skip);
}

const char* TextString::TrimLeftSet(const char* set) {
  const TrimSet trimmed(set);
  if (trimmed.TrimsNothing() || GetLength() == 0) return text;
  size_t skip = 0;
  while (text[skip] != '\0' && trimmed.Contains(text[skip])) ++skip;
  return skip == 0 ? text : KeepFrom(*this, skip);
}

const char* TextString::TrimRightSet(const char* set) {
  const TrimSet trimmed(set);
  const unsigned length = GetLength();
  if (trimmed.TrimsNothing() || length == 0) return text;
  // The walk stops at the second byte: a right trim never empties a text, so
  // a text of set characters only keeps its first one. Emptying is left to
  // TrimLeftSet.
  for (unsigned i = length - 1; i > 0 && trimmed.Contains(text[i]); --i) text[i] = '\0';
  return text;
}
