// Whitespace handling (tabs, blanks, leading spaces) and trimming by a set of
// characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/Ascii.h"
#include "strings/TextString.h"

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

// Tab widths up to this are expanded without measuring the result first.
constexpr unsigned kWidthMeasuredFirst = 4096;

// Stores the text from byte `skip` on. Assign reads an argument that lies in
// the string's own buffer as a separate copy, so the tail is passed directly.
const char* KeepFrom(TextString& s, size_t skip) { return s.Assign(s.GetText() + skip, 0); }

}  // namespace

const char* TextString::ExpandTabs(unsigned width) {
  if (text == nullptr) return text;
  // A wide replacement is sized in 64 bits before anything is allocated: a
  // result that cannot fit the 32-bit size field must not cost a huge
  // replacement text either. A narrow one costs nothing worth two more
  // passes over the text: ReplaceAll itself leaves the text as it is when
  // there is no tab or the result would not fit.
  if (width > kWidthMeasuredFirst) {
    const uint64_t length = GetLength();
    const uint64_t tabs = static_cast<uint64_t>(std::count(text, text + length, '\t'));
    if (tabs == 0) return text;
    const uint64_t resultSize = length - tabs + tabs * width + 1;
    if (resultSize > UINT32_MAX) return text;
  }
  std::unique_ptr<char[]> spaces(new char[static_cast<size_t>(width) + 1]);
  std::memset(spaces.get(), ' ', width);
  spaces[width] = '\0';
  return ReplaceAll("\t", spaces.get(), 0, nullptr);
}

const char* TextString::RemoveWhitespace() {
  static const char* const kBlanks[] = {" ", "\t", "\r", "\n"};
  const char* result = text;
  for (const char* blank : kBlanks) result = ReplaceAll(blank, "", 0, nullptr);
  return result;
}

const char* TextString::TrimLeft() {
  if (GetLength() == 0) return text;
  // Line breaks end the run: a text that starts a new line keeps it.
  const size_t skip = std::strspn(text, " \t");
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
