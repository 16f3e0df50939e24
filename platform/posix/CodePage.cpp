// POSIX side of platform/CodePage.h: only stand-ins for the Win32 conversions belong here.
//
// There is no system ANSI code page, so Windows-1252 stands for it; the
// conversions follow what the Win32 calls do with flags 0 and a terminated
// input.
#include "platform/CodePage.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/posix/Cp1252.h"
#include "platform/posix/Utf8.h"

namespace platform {

namespace {

constexpr unsigned kCodePageWindows1252 = 1252;

bool IsWindows1252(unsigned codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageWindows1252;
}

// Output: the units a conversion produces, written into the caller's buffer
// (kWrite) or only counted. Measuring is its own instantiation, so that
// neither pays for the other's test on every unit.
template <typename Unit, bool kWrite>
class Output {
 public:
  Output(Unit* out, int capacity) : out_(out), capacity_(kWrite ? capacity : 0) {}

  void Put(Unit unit) {
    if (kWrite && count_ < capacity_) out_[count_] = unit;
    ++count_;
  }

  // How many more units fit (only when writing), and where the next goes.
  int64_t Room() const { return capacity_ - count_; }
  Unit* Next() { return out_ + count_; }
  void Skip(int64_t units) { count_ += units; }

  // Result: the units produced, terminator included; 0 when they did not
  // fit the buffer or an int.
  int Result() const {
    if (count_ > INT_MAX || (kWrite && count_ > capacity_)) return 0;
    return static_cast<int>(count_);
  }

 private:
  Unit* out_;
  int64_t capacity_;
  int64_t count_ = 0;
};

// Most text is ASCII: every converter copies a run of ASCII units in a
// loop of its own, which stops at the terminator (never reading past it) or
// at the first other unit, without the tests of a character's decoding.
bool IsAsciiNotNul(unsigned unit) { return unit - 1 < 0x7F; }

// AsciiRun: copies (or counts) the ASCII units from `*p` on, as far as the
// output has room, and moves `*p` past them.
template <typename From, typename To, bool kWrite>
void AsciiRun(const From** p, Output<To, kWrite>* out) {
  const From* in = *p;
  if (kWrite) {
    To* const first = out->Next();
    To* o = first;
    for (int64_t room = out->Room(); room > 0 && IsAsciiNotNul(*in); --room) {
      *o++ = static_cast<To>(*in++);
    }
    out->Skip(o - first);
  } else {
    const From* const start = in;
    while (IsAsciiNotNul(*in)) ++in;
    out->Skip(in - start);
  }
  *p = in;
}

template <bool kWrite>
void PutUtf16(char32_t codePoint, Output<char16_t, kWrite>* out) {
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
template <bool kWrite>
int Utf8ToWide(const char* source, Output<char16_t, kWrite>* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  for (;;) {
    AsciiRun(&p, out);
    if (*p < 0x80) {
      out->Put(*p);
      if (*p++ == '\0') return out->Result();
      continue;
    }
    // Two-byte characters (Latin-1 among them) without the general decoder.
    if (*p >= 0xC2 && *p <= 0xDF && (p[1] & 0xC0) == 0x80) {
      out->Put(static_cast<char16_t>((*p & 0x1F) << 6 | (p[1] & 0x3F)));
      p += 2;
      continue;
    }
    PutUtf16(utf8::DecodeOne(&p), out);
  }
}

template <bool kWrite>
int Cp1252ToWide(const char* source, Output<char16_t, kWrite>* out) {
  // One unit for every byte: measuring is the length alone.
  const size_t units = std::strlen(source) + 1;
  if (!kWrite) {
    out->Skip(static_cast<int64_t>(units));
    return out->Result();
  }
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  const size_t fits = out->Room() < 0 ? 0 : static_cast<size_t>(out->Room());
  char16_t* o = out->Next();
  for (size_t i = 0; i < units && i < fits; ++i) o[i] = cp1252::ToUnicode(p[i]);
  out->Skip(static_cast<int64_t>(units));
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

// Units below 0x800 (no surrogate among them) take one or two bytes; the
// loops over them decide without a branch per unit, so that accented
// letters every few bytes cost no mispredictions.
unsigned Utf8Length(char16_t unit) { return 1u + (unit >= 0x80) + (unit >= 0x800); }

template <bool kWrite>
int WideToUtf8(const char16_t* source, Output<char, kWrite>* out) {
  const char16_t* p = source;
  for (;;) {
    if (!kWrite) {
      int64_t bytes = 0;
      for (; *p != 0 && *p < 0xD800; ++p) bytes += Utf8Length(*p);
      out->Skip(bytes);
    } else {
      char* const first = out->Next();
      char* o = first;
      // Three bytes of room for every unit written without a test.
      for (char* const last = first + (out->Room() > 3 ? out->Room() - 3 : 0);
           o < last && *p != 0 && *p < 0x800; ++p) {
        const unsigned unit = *p;
        const unsigned two = unit >= 0x80;
        const unsigned lead = 0u - two;  // all ones for a two-byte unit
        const char pair[2] = {static_cast<char>((unit & ~lead) | ((0xC0 | (unit >> 6)) & lead)),
                              static_cast<char>(0x80 | (unit & 0x3F))};
        std::memcpy(o, pair, 2);
        o += 1 + two;
      }
      out->Skip(o - first);
    }
    if (*p < 0x80) {
      out->Put(static_cast<char>(*p));
      if (*p++ == 0) return out->Result();
      continue;
    }
    const char32_t codePoint = NextCodePoint(&p);
    const int length = utf8::EncodedLength(codePoint);
    if (!kWrite) {
      out->Skip(length);
      continue;
    }
    unsigned char bytes[4];
    utf8::Encode(codePoint, bytes);
    for (int i = 0; i < length; ++i) out->Put(static_cast<char>(bytes[i]));
  }
}

// Unit by unit, as Windows does: a surrogate pair gives two '?'.
template <bool kWrite>
int WideToCp1252(const char16_t* source, Output<char, kWrite>* out) {
  const char16_t* p = source;
  for (;;) {
    AsciiRun(&p, out);
    const char16_t unit = *p++;
    // Latin-1 is 1252's own, but for 0x80 to 0x9F.
    const bool latin1 = unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF);
    out->Put(static_cast<char>(latin1 ? unit : cp1252::FromUnicode(unit)));
    if (unit == 0) return out->Result();
  }
}

template <bool kWrite>
int ConvertTo(unsigned codePage, const char* source, char16_t* out, int outSize) {
  Output<char16_t, kWrite> output(out, outSize);
  if (codePage == kCodePageUtf8) return Utf8ToWide(source, &output);
  if (IsWindows1252(codePage)) return Cp1252ToWide(source, &output);
  return 0;
}

template <bool kWrite>
int ConvertTo(unsigned codePage, const char16_t* source, char* out, int outSize) {
  Output<char, kWrite> output(out, outSize);
  if (codePage == kCodePageUtf8) return WideToUtf8(source, &output);
  if (IsWindows1252(codePage)) return WideToCp1252(source, &output);
  return 0;
}

// Both calls check their arguments and pick the code page alike. Without an
// output buffer the size is not looked at: the call measures.
template <typename From, typename To>
int Convert(unsigned codePage, const From* source, To* out, int outSize) {
  if (source == nullptr || (out != nullptr && outSize < 0)) return 0;
  return out != nullptr ? ConvertTo<true>(codePage, source, out, outSize)
                        : ConvertTo<false>(codePage, source, out, outSize);
}

}  // namespace

int MultiByteToWide(unsigned codePage, const char* source, char16_t* out, int outUnits) {
  return Convert(codePage, source, out, outUnits);
}

int WideToMultiByte(unsigned codePage, const char16_t* source, char* out, int outBytes) {
  return Convert(codePage, source, out, outBytes);
}

unsigned AnsiCodePage() { return kCodePageWindows1252; }

}  // namespace platform
