// POSIX implementation: there is no system ANSI code page, so Windows-1252
// stands for it; the conversions follow what the Win32 calls do with flags
// 0 and a terminated input.
#include "platform/CodePage.h"

#include <climits>
#include <cstdint>

#include "platform/posix/Cp1252.h"
#include "platform/posix/Utf8.h"

namespace platform {

namespace {

constexpr unsigned kCodePageWindows1252 = 1252;

bool IsWindows1252(unsigned codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageWindows1252;
}

// Output: the units a conversion produces, written into the caller's buffer
// or, without one, only counted.
template <typename Unit>
class Output {
 public:
  Output(Unit* out, int capacity) : out_(out), capacity_(out != nullptr ? capacity : 0) {}

  void Put(Unit unit) {
    if (out_ != nullptr && count_ < capacity_) out_[count_] = unit;
    ++count_;
  }

  // Result: the units produced, terminator included; 0 when they did not
  // fit the buffer or an int.
  int Result() const {
    if (count_ > INT_MAX || (out_ != nullptr && count_ > capacity_)) return 0;
    return static_cast<int>(count_);
  }

 private:
  Unit* out_;
  int64_t capacity_;
  int64_t count_ = 0;
};

void PutUtf16(char32_t codePoint, Output<char16_t>* out) {
  if (codePoint < 0x10000) {
    out->Put(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out->Put(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out->Put(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// A cut-short sequence just before the terminator gives one U+FFFD and keeps
// the terminator. (Wine drops the terminator, and any bytes still before it,
// when a lead byte announces more bytes than are left; the characters are
// the same whenever the bytes left are continuation bytes.)
int Utf8ToWide(const char* source, Output<char16_t>* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  for (;;) {
    if (*p < 0x80) {
      out->Put(*p);
      if (*p++ == '\0') return out->Result();
      continue;
    }
    PutUtf16(utf8::DecodeOne(&p), out);
  }
}

int Cp1252ToWide(const char* source, Output<char16_t>* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  do {
    out->Put(cp1252::ToUnicode(*p));
  } while (*p++ != '\0');
  return out->Result();
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Reads one character and moves past it; a surrogate without its partner
// stands for U+FFFD, as on Windows.
char32_t NextCodePoint(const char16_t** cursor) {
  const char16_t* p = *cursor;
  const char16_t unit = *p++;
  char32_t codePoint = unit;
  if (IsHighSurrogate(unit) && IsLowSurrogate(*p)) {
    codePoint = 0x10000 + ((unit - 0xD800) << 10) + (*p++ - 0xDC00);
  } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
    codePoint = utf8::kReplacement;
  }
  *cursor = p;
  return codePoint;
}

int WideToUtf8(const char16_t* source, Output<char>* out) {
  const char16_t* p = source;
  for (;;) {
    // Most text is ASCII: one unit, one byte, no decoding.
    while (*p != 0 && *p < 0x80) out->Put(static_cast<char>(*p++));
    const char32_t codePoint = NextCodePoint(&p);
    unsigned char bytes[4];
    utf8::Encode(codePoint, bytes);
    for (int i = 0; i < utf8::EncodedLength(codePoint); ++i) out->Put(static_cast<char>(bytes[i]));
    if (codePoint == 0) return out->Result();
  }
}

// Unit by unit, as Windows does: a surrogate pair gives two '?'.
int WideToCp1252(const char16_t* source, Output<char>* out) {
  const char16_t* p = source;
  do {
    out->Put(static_cast<char>(cp1252::FromUnicode(*p)));
  } while (*p++ != 0);
  return out->Result();
}

// One direction of conversion: its UTF-8 and its Windows-1252 form.
template <typename From, typename To>
struct Direction {
  int (*utf8)(const From*, Output<To>*);
  int (*cp1252)(const From*, Output<To>*);
};

constexpr Direction<char, char16_t> kToWide = {Utf8ToWide, Cp1252ToWide};
constexpr Direction<char16_t, char> kFromWide = {WideToUtf8, WideToCp1252};

// Both calls check their arguments and pick the code page alike. Without an
// output buffer the size is not looked at: the call measures.
template <typename From, typename To>
int Convert(const Direction<From, To>& direction, unsigned codePage, const From* source, To* out,
            int outSize) {
  if (source == nullptr || (out != nullptr && outSize < 0)) return 0;
  Output<To> output(out, outSize);
  if (codePage == kCodePageUtf8) return direction.utf8(source, &output);
  if (IsWindows1252(codePage)) return direction.cp1252(source, &output);
  return 0;
}

}  // namespace

int MultiByteToWide(unsigned codePage, const char* source, char16_t* out, int outUnits) {
  return Convert(kToWide, codePage, source, out, outUnits);
}

int WideToMultiByte(unsigned codePage, const char16_t* source, char* out, int outBytes) {
  return Convert(kFromWide, codePage, source, out, outBytes);
}

unsigned AnsiCodePage() { return kCodePageWindows1252; }

}  // namespace platform
