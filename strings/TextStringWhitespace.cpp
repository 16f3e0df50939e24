// Whitespace handling: tabs expanded, blanks removed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/PassPlan.h"
#include "strings/internal/TextBuffer.h"

namespace ascii = strings_internal::ascii;
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

// Stands for four ReplaceAll passes (space, tab, carriage return, line
// feed). Removing blanks makes none, so each pass's matches are its blanks
// in the original text, and the result is written once, in place.
const char* TextString::RemoveWhitespace() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  // A pass keeps the buffer unless it removes a single blank from a text
  // that fills its buffer: only then do the passes' own counts matter.
  Pass passes[4] = {{0, -1}, {0, -1}, {0, -1}, {0, -1}};
  if (length + 1 == size) {
    for (uint64_t i = 0; i < length; ++i) {
      const char c = text[i];
      passes[0].matches += c == ' ';
      passes[1].matches += c == '\t';
      passes[2].matches += c == '\r';
      passes[3].matches += c == '\n';
    }
  }
  char* out = text;
  for (const char* in = text; in != text + length; ++in) {
    *out = *in;
    out += ascii::IsBlankByte(*in) ? 0 : 1;
  }
  *out = '\0';
  const uint64_t removed = length - static_cast<uint64_t>(out - text);
  if (removed == 0) return text;
  if (length + 1 != size) passes[0] = {removed, -1};
  const PassOutcome outcome = PlanPasses(length, size, passes, 4);
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
