// Whitespace handling (tabs, blanks, leading spaces) and trimming by a set of
// characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/TextString.h"

namespace {

// The characters a set trim removes. The set lives in a TextString of its own
// and membership is asked of its case-insensitive Find, so a set holding "x"
// also takes "X" (and the other way round), exactly like every other search.
class TrimSet {
 public:
  explicit TrimSet(const char* set) : members_(set, 260) {}

  // Blanks are the business of TrimLeft and TrimRight: a set of nothing but
  // blanks (or no set at all) trims nothing.
  bool TrimsNothing() const { return members_.IsBlank() != 0; }

  // Never ask about the terminator: the empty probe would match any set.
  bool Contains(char c) const {
    const char probe[2] = {c, '\0'};
    return members_.Find(probe, 0) != nullptr;
  }

 private:
  TextString members_;
};

// Stores the text from byte `skip` on. Assign reads an argument that lies in
// the string's own buffer as a separate copy, so the tail is passed directly.
const char* KeepFrom(TextString& s, size_t skip) { return s.Assign(s.GetText() + skip, 0); }

}  // namespace

const char* TextString::ExpandTabs(unsigned width) {
  if (text == nullptr) return text;
  const uint64_t length = GetLength();
  const uint64_t tabs = static_cast<uint64_t>(std::count(text, text + length, '\t'));
  if (tabs == 0) return text;
  // Sized in 64 bits before anything is allocated: a result that cannot fit
  // the 32-bit size field must not cost a huge replacement text either.
  const uint64_t resultSize = length - tabs + tabs * width + 1;
  if (resultSize > UINT32_MAX) return text;
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
