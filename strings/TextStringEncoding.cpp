// Conversions between UTF-8 and the ANSI code page, and the UTF-8 test.
#include <climits>
#include <cstddef>
#include <new>

#include "platform/CodePage.h"
#include "strings/TextString.h"
#include "strings/internal/CharClassTable.h"

using strings_internal::CharClassTable;
using strings_internal::kCharPlainText;

namespace {

// ConversionBuffer: a zeroed array of `units` + 1 units that frees itself;
// get() is null when memory ran out. The zeroes matter: a conversion that
// loses its terminator (Wine does, for a sequence cut short at the end)
// still leaves a terminated text. It does not come from NewTextBuffer on
// purpose: running out of memory here is a result the conversions report
// (null, the text unchanged), where a string's own buffers have none.
template <typename Unit>
class ConversionBuffer {
 public:
  explicit ConversionBuffer(int units)
      : data_(new (std::nothrow) Unit[static_cast<size_t>(units) + 1]()) {}
  ~ConversionBuffer() { delete[] data_; }
  ConversionBuffer(const ConversionBuffer&) = delete;
  ConversionBuffer& operator=(const ConversionBuffer&) = delete;

  Unit* get() const { return data_; }

 private:
  Unit* data_;
};

// Recode: `source` from code page `from` through UTF-16 to code page `to`,
// stored with Assign(converted, 0). Null, with the string unchanged, when a
// conversion buffer cannot be had or a conversion fails (a count of 0). A
// failed conversion is treated like a failed allocation: the caller gets the
// one failure result the operations have, never a text that looks converted.
const char* Recode(TextString& string, unsigned from, unsigned to) {
  const char* source = string.GetText();
  const int units = platform::MultiByteToWide(from, source, nullptr, 0);
  // The capacity handed over is units + 1, which must still be an int.
  if (units <= 0 || units == INT_MAX) return nullptr;
  ConversionBuffer<char16_t> wide(units);
  if (wide.get() == nullptr) return nullptr;
  if (platform::MultiByteToWide(from, source, wide.get(), units + 1) <= 0) return nullptr;

  const int bytes = platform::WideToMultiByte(to, wide.get(), nullptr, 0);
  if (bytes <= 0) return nullptr;
  ConversionBuffer<char> converted(bytes);
  if (converted.get() == nullptr) return nullptr;
  if (platform::WideToMultiByte(to, wide.get(), converted.get(), bytes) <= 0) return nullptr;
  return string.Assign(converted.get(), 0);
}

// The lead byte's count of continuation bytes, from its bit pattern alone
// (up to the five of the six-byte form); -1 for a byte that cannot begin a
// character. Unlike the decoder of the POSIX conversions, this knows nothing
// of shortest forms or the Unicode range.
int ContinuationsByPattern(unsigned char lead) {
  if (lead < 0xC0 || lead >= 0xFE) return -1;
  if (lead < 0xE0) return 1;
  if (lead < 0xF0) return 2;
  if (lead < 0xF8) return 3;
  if (lead < 0xFC) return 4;
  return 5;
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

}  // namespace

const char* TextString::Utf8ToAnsi() {
  if (text == nullptr) return nullptr;
  if (IsUtf8(text) == 0) return text;
  return Recode(*this, platform::kCodePageUtf8, platform::kCodePageAnsi);
}

const char* TextString::AnsiToUtf8() {
  if (text == nullptr) return nullptr;
  return Recode(*this, platform::kCodePageAnsi, platform::kCodePageUtf8);
}

// Structure only: no code point is computed, so overlong forms, surrogates
// and the five- and six-byte forms pass.
int TextString::IsUtf8(const char* candidate) const {
  if (candidate == nullptr) return 0;
  int sawSequence = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(candidate);
  while (*p != '\0') {
    if (*p < 0x80) {
      if (CharClassTable[*p++] != kCharPlainText) return 0;
      continue;
    }
    const int continuations = ContinuationsByPattern(*p++);
    if (continuations < 0) return 0;
    for (int i = 0; i < continuations; ++i, ++p) {
      // A sequence cut short by the end neither fails nor counts.
      if (*p == '\0') return sawSequence;
      if (!IsContinuation(*p)) return 0;
    }
    sawSequence = 1;
  }
  return sawSequence;
}
