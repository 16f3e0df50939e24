// Whitespace handling: tabs expanded, blanks removed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/TextString.h"
#include "strings/internal/PassPlan.h"
#include "strings/internal/TextBuffer.h"

using strings_internal::Pass;
using strings_internal::PassOutcome;
using strings_internal::PlanPasses;
using strings_internal::ZeroAfterText;

namespace {

// Tab widths up to this are expanded without measuring the result first.
constexpr unsigned kWidthMeasuredFirst = 4096;

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

#if TEXTSTRING_SMALL_CODE

// The size-optimised build runs the four passes as defined: a few calls
// instead of the one-pass code below.
const char* TextString::RemoveWhitespace() {
  ReplaceAll(" ", "", 0, nullptr);
  ReplaceAll("\t", "", 0, nullptr);
  ReplaceAll("\r", "", 0, nullptr);
  return ReplaceAll("\n", "", 0, nullptr);
}

#else

namespace {

// Whether each byte stays: 0 for the four blanks. A table lookup rather
// than a test, since blanks come every few bytes, unpredictably.
struct KeptBytes {
  constexpr KeptBytes() : keep() {
    for (unsigned byte = 0; byte < 256; ++byte) keep[byte] = 1;
    keep[static_cast<unsigned char>(' ')] = keep[static_cast<unsigned char>('\t')] = 0;
    keep[static_cast<unsigned char>('\r')] = keep[static_cast<unsigned char>('\n')] = 0;
  }
  uint8_t keep[256];
};
constexpr KeptBytes kKept;

// Whether the first of RemoveWhitespace's passes (space, tab, CR, LF) that
// removes anything removes a single blank. A pass keeps the buffer unless it
// removes a single blank from a text that fills its buffer, and after a
// kept buffer every later pass keeps it too: only then do the passes' own
// counts matter.
bool FirstPassRemovesOneBlank(const char* text, uint64_t length) {
  for (const char blank : {' ', '\t', '\r', '\n'}) {
    const void* first = std::memchr(text, blank, static_cast<size_t>(length));
    if (first == nullptr) continue;
    const char* after = static_cast<const char*>(first) + 1;
    return std::memchr(after, blank, static_cast<size_t>(text + length - after)) == nullptr;
  }
  return false;
}

}  // namespace

// Stands for four ReplaceAll passes (space, tab, carriage return, line
// feed). Removing blanks makes none, so each pass's matches are its blanks
// in the original text, and the result is written once, in place.
const char* TextString::RemoveWhitespace() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  Pass passes[4] = {{0, -1}, {0, -1}, {0, -1}, {0, -1}};
  const bool counted = length + 1 == size && FirstPassRemovesOneBlank(text, length);
  for (uint64_t i = 0; counted && i < length; ++i) {
    const char c = text[i];
    passes[0].matches += c == ' ';
    passes[1].matches += c == '\t';
    passes[2].matches += c == '\r';
    passes[3].matches += c == '\n';
  }
  // Local pointers: the writes through `out` could otherwise be taken to
  // change `text` itself, which would then be read again for every byte.
  char* const begin = text;
  const char* const end = begin + length;
  char* out = begin;
  for (const char* in = begin; in != end; ++in) {
    const char c = *in;
    *out = c;
    out += kKept.keep[static_cast<unsigned char>(c)];
  }
  *out = '\0';
  const uint64_t removed = length - static_cast<uint64_t>(out - begin);
  if (removed == 0) return text;
  // Otherwise every pass keeps the buffer, and they count as one.
  if (!counted) passes[0] = {removed, -1};
  const PassOutcome outcome = PlanPasses(length, size, passes, counted ? 4 : 1);
  if (!outcome.replaced) {
    ZeroAfterText(text, outcome);
    return text;
  }
  char* result = strings_internal::NewTextBuffer(static_cast<size_t>(outcome.size));
  std::memcpy(result, text, static_cast<size_t>(outcome.length + 1));
  ZeroAfterText(result, outcome);
  Adopt(result, static_cast<uint32_t>(outcome.size));
  return text;
}

#endif  // TEXTSTRING_SMALL_CODE
