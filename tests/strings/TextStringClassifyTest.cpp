// Case conversion, character tests, IsComment, EndsWith and Count.
#include <gtest/gtest.h>

#include "strings/TextString.h"

namespace {

TEST(TextStringCase, ConvertsAsciiLettersOnlyInPlace) {
  TextString s("aZ\xE4\xC4 1;", 0);
  const char* before = s.GetText();
  EXPECT_EQ(s.MakeUpper(), before);
  EXPECT_STREQ(s.GetText(), "AZ\xE4\xC4 1;");
  EXPECT_EQ(s.MakeLower(), before);
  EXPECT_STREQ(s.GetText(), "az\xE4\xC4 1;");
  s.Free();
  EXPECT_EQ(s.MakeUpper(), nullptr);
}

TEST(TextStringClassify, EveryByteMustBelongToTheClass) {
  struct Row {
    const char* text;
    int hex, number, breakOnly, comment;
  } rows[] = {{"1aF", 1, 0, 0, 0}, {"0x1F", 0, 0, 0, 0}, {"123", 1, 1, 0, 0},
              {"-1", 0, 0, 0, 0},  {"\xB2", 0, 0, 0, 0}, {"\r\n\t", 0, 0, 1, 0},
              {" ", 0, 0, 0, 0},   {"", 1, 1, 1, 0},     {" \t\r\n;x", 0, 0, 0, 1},
              {"x;", 0, 0, 0, 0},  {"\v;", 0, 0, 0, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TextString s(row.text, 0);
    EXPECT_EQ(s.IsHexNumber(), row.hex);
    EXPECT_EQ(s.IsNumber(), row.number);
    EXPECT_EQ(s.IsBreakOnly(), row.breakOnly);
    EXPECT_EQ(s.IsComment(), row.comment);
    EXPECT_STREQ(s.GetText(), row.text);
  }
  TextString none;
  none.Free();
  EXPECT_EQ(none.IsHexNumber() + none.IsNumber() + none.IsBreakOnly(), 3);
  EXPECT_EQ(none.IsComment(), 0);
}

TEST(TextStringEndsWith, ComparesTheTailOfTheSubject) {
  struct Row {
    const char* other;
    int caseSensitive, reversed, expected;
  } rows[] = {{"bc", 1, 0, 1},   {"xc", 1, 0, 0}, {"", 1, 0, 1},
              {"abcd", 1, 0, 0}, {"BC", 0, 0, 1}, {"BC", 1, 0, 0},
              {"XABC", 0, 1, 1}, {"bc", 1, 1, 0}, {nullptr, 1, 0, 0}};
  TextString s("abc", 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.other ? row.other : "(null)") << row.reversed);
    EXPECT_EQ(s.EndsWith(row.other, row.caseSensitive, row.reversed), row.expected);
  }
  s.Free();
  EXPECT_EQ(s.EndsWith("", 1, 0), 0);
}

TEST(TextStringCount, CountsOverlappingMatches) {
  struct Row {
    const char* text;
    const char* what;
    int caseSensitive, expected;
  } rows[] = {{"aaaa", "aa", 1, 3}, {"abc", "", 1, 3}, {"AbAB", "ab", 0, 2},
              {"AbAB", "ab", 1, 0}, {"", "", 1, 0},    {"abc", nullptr, 1, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TextString s(row.text, 0);
    EXPECT_EQ(s.Count(row.what, row.caseSensitive), row.expected);
  }
}

}  // namespace
