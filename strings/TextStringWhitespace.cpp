// Whitespace handling: tabs expanded, blanks removed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "strings/TextString.h"

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

const char* TextString::RemoveWhitespace() {
  static const char* const kBlanks[] = {" ", "\t", "\r", "\n"};
  const char* result = text;
  for (const char* blank : kBlanks) result = ReplaceAll(blank, "", 0, nullptr);
  return result;
}
