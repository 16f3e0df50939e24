#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "tests/support/Windows1252Test.h"

namespace {

using platform::kCodePageAnsi;
using platform::kCodePageUtf8;

using CodePage = Windows1252Test;

// Measures, converts into a buffer of exactly that size plus a spare zero
// unit, and returns the units before the terminator. (Wine loses the
// terminator after a lead byte that announces more bytes than are left; the
// spare unit keeps such a result terminated.)
std::u16string ToWide(unsigned codePage, const char* source) {
  const int units = platform::MultiByteToWide(codePage, source, nullptr, 0);
  std::vector<char16_t> out(units + 1);
  EXPECT_EQ(units, platform::MultiByteToWide(codePage, source, out.data(), units + 1));
  return std::u16string(out.data());
}

std::string FromWide(unsigned codePage, const char16_t* source) {
  const int bytes = platform::WideToMultiByte(codePage, source, nullptr, 0);
  if (bytes <= 0) return "(measuring failed)";
  std::vector<char> out(bytes + 1);
  EXPECT_EQ(bytes, platform::WideToMultiByte(codePage, source, out.data(), bytes));
  EXPECT_EQ('\0', out[bytes - 1]) << "the terminator is part of the count";
  return std::string(out.data());
}

struct ToWideRow {
  const char* name;
  const char* source;
  std::u16string expected;
};

TEST_F(CodePage, DecodesUtf8AsWindowsDoes) {
  const ToWideRow rows[] = {
      {"two-byte", "Gr\xC3\xBCn", u"Gr\u00FCn"},
      {"three-byte", "\xE2\x82\xAC", u"\u20AC"},
      {"four-byte becomes a surrogate pair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
      {"byte-order mark is a character",
       "\xEF\xBB\xBF"
       "a",
       u"\uFEFF"
       u"a"},
      {"lone continuation byte",
       "a\x80"
       "b",
       u"a\uFFFD"
       u"b"},
      {"cut short before ASCII",
       "\xE2\x82"
       "A",
       u"\uFFFD"
       u"A"},
      {"cut short before a character", "\xE2\x82\xC3\xBC", u"\uFFFD\u00FC"},
      {"two-byte cut short by the end", "a\xC3", u"a\uFFFD"},
      {"four-byte cut short by the end", "\xF0\x9F\x98", u"\uFFFD"},
      {"lead byte alone at the end", "\xC3\xA4\xE2", u"\u00E4\uFFFD"},
      {"lead and one continuation at the end", "\xC3\xA4\xF0\x9F", u"\u00E4\uFFFD"},
  };
  for (const ToWideRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.expected, ToWide(kCodePageUtf8, row.source));
  }
}

TEST_F(CodePage, InvalidUtf8BecomesReplacementsCountedAsWindowsDoes) {
  const struct {
    const char* name;
    const char* source;
    size_t replacements;  // U+FFFD and nothing else
  } rows[] = {
      {"overlong C0: one per byte", "\xC0\x80", 2},
      {"overlong E0: lead takes the first continuation", "\xE0\x80\x80", 2},
      {"encoded surrogate", "\xED\xA0\x80", 2},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", 3},
      {"F5 cannot lead", "\xF5\x80\x80\x80", 4},
      {"five-byte form", "\xF8\x88\x80\x80\x80", 5},
      {"FE", "\xFE", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(std::u16string(row.replacements, u'\uFFFD'), ToWide(kCodePageUtf8, row.source));
  }
}

TEST_F(CodePage, DecodesWindows1252HighBytes) {
  // 81, 8D, 8F, 90 and 9D are undefined in 1252 and stand for the C1
  // controls of the same value.
  const char16_t expected[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    SCOPED_TRACE(byte);
    const char source[] = {static_cast<char>(byte), '\0'};
    const char16_t unit = byte < 0xA0 ? expected[byte - 0x80] : static_cast<char16_t>(byte);
    EXPECT_EQ(std::u16string(1, unit), ToWide(kCodePageAnsi, source));
  }
}

TEST_F(CodePage, Windows1252RoundTripsEveryByte) {
  std::string all;
  for (int byte = 1; byte <= 0xFF; ++byte) all += static_cast<char>(byte);
  const std::u16string wide = ToWide(kCodePageAnsi, all.c_str());
  EXPECT_EQ(all, FromWide(kCodePageAnsi, wide.c_str()));
}

struct FromWideRow {
  const char* name;
  std::u16string source;
  const char* expected;
};

TEST_F(CodePage, EncodesWindows1252WithBestFitOrQuestionMark) {
  const FromWideRow rows[] = {
      {"in the code page", u"\u00FC\u20AC\u0081", "\xFC\x80\x81"},
      {"C1 control that 1252 lacks", u"\u0080", "?"},
      {"Latin Extended-A loses its marks", u"\u0100\u0141\u0107", "ALc"},
      {"Latin Extended-A without a fit", u"\u0132", "?"},
      {"fullwidth ASCII", u"\uFF21\uFF5E", "A~"},
      {"no fit", u"\u4E00\uFFFD", "??"},
      {"surrogate pair: one per unit", u"\xD83D\xDE00", "??"},
      {"lone surrogates", std::u16string(u"a\xD800") + u"b\xDC00", "a?b?"},
  };
  for (const FromWideRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.expected, FromWide(kCodePageAnsi, row.source.c_str()));
  }
}

TEST_F(CodePage, EncodesUtf8) {
  const FromWideRow rows[] = {
      {"one to three bytes", u"a\u00FC\u20AC", "a\xC3\xBC\xE2\x82\xAC"},
      {"surrogate pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"lone high surrogate", std::u16string(u"a\xD800") + u"b",
       "a\xEF\xBF\xBD"
       "b"},
      {"lone low surrogate at the end", u"a\xDC00", "a\xEF\xBF\xBD"},
  };
  for (const FromWideRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.expected, FromWide(kCodePageUtf8, row.source.c_str()));
  }
}

TEST_F(CodePage, MeasuresWithTheTerminator) {
  EXPECT_EQ(1, platform::MultiByteToWide(kCodePageUtf8, "", nullptr, 0));
  EXPECT_EQ(3, platform::MultiByteToWide(kCodePageUtf8, "\xF0\x9F\x98\x80", nullptr, 0));
  EXPECT_EQ(4, platform::MultiByteToWide(kCodePageAnsi, "\xFC\x80\x81", nullptr, 0));
  EXPECT_EQ(5, platform::WideToMultiByte(kCodePageUtf8, u"\xD83D\xDE00", nullptr, 0));
  EXPECT_EQ(3, platform::WideToMultiByte(kCodePageAnsi, u"\xD83D\xDE00", nullptr, 0));
}

TEST_F(CodePage, TooSmallOutputGivesZero) {
  char16_t wide[4];
  EXPECT_EQ(0, platform::MultiByteToWide(kCodePageUtf8, "abc", wide, 3));
  EXPECT_EQ(4, platform::MultiByteToWide(kCodePageUtf8, "abc", wide, 4));
  char bytes[3];
  EXPECT_EQ(0, platform::WideToMultiByte(kCodePageUtf8, u"\u00FC", bytes, 2));
  EXPECT_EQ(3, platform::WideToMultiByte(kCodePageUtf8, u"\u00FC", bytes, 3));
  EXPECT_EQ(0, platform::WideToMultiByte(kCodePageAnsi, u"ab", bytes, 2));
}

TEST_F(CodePage, UnknownCodePageGivesZero) {
  char16_t wide[4];
  EXPECT_EQ(0, platform::MultiByteToWide(12345, "a", wide, 4));
  char bytes[4];
  EXPECT_EQ(0, platform::WideToMultiByte(12345, u"a", bytes, 4));
}

}  // namespace
