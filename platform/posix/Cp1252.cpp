// Windows-1252 for the POSIX side of platform/CodePage.h: only that code page belongs here.
#include "platform/posix/Cp1252.h"

namespace platform {
namespace cp1252 {

// Bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
extern const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

namespace {

// Windows (flags 0) also writes a look-alike for characters that 1252
// lacks, from a table of several hundred entries. We keep the two blocks
// that real text meets most, with Windows' own choices: Latin Extended-A,
// whose letters lose their marks (U+0100 gives 'A'; '?' where Windows has no
// fit), and the fullwidth forms of ASCII. Everything else becomes '?'.
// Octal escapes keep each row on one line: \320 is 0xD0 (Eth, Windows' fit
// for D with stroke); \214 \234 \212 \232 \237 \216 \236 are 1252's own
// bytes for OE, oe, S and s caron, Y diaeresis, Z and z caron.
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDd"            // U+0100
    "\320dEeEeEeEeEeGgGg"         // U+0110
    "GgGgHhHhIiIiIiIi"            // U+0120
    "Ii??JjKk?LlLlLl?"            // U+0130
    "?LlNnNnNn???OoOo"            // U+0140
    "Oo\214\234RrRrRrSsSsSs"      // U+0150
    "\212\232TtTtTtUuUuUuUu"      // U+0160
    "UuUuWwYy\237ZzZz\216\236?";  // U+0170
static_assert(sizeof(kLatinExtendedA) == 128 + 1, "one byte per character U+0100-U+017F");

constexpr char16_t kFullwidthFirst = 0xFF01;  // fullwidth '!'
constexpr char16_t kFullwidthLast = 0xFF5E;   // fullwidth '~'
constexpr char16_t kFullwidthOffset = 0xFEE0;

bool FindHighControl(char16_t unit, unsigned char* byte) {
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == unit) {
      *byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

unsigned char BestFit(char16_t unit) {
  if (unit >= 0x0100 && unit <= 0x017F)
    return static_cast<unsigned char>(kLatinExtendedA[unit - 0x0100]);
  if (unit >= kFullwidthFirst && unit <= kFullwidthLast) {
    return static_cast<unsigned char>(unit - kFullwidthOffset);
  }
  return '?';
}

}  // namespace

unsigned char FromUnicode(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<unsigned char>(unit);
  unsigned char byte = 0;
  if (FindHighControl(unit, &byte)) return byte;
  return BestFit(unit);
}

}  // namespace cp1252
}  // namespace platform
