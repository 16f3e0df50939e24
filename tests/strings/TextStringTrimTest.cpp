// Trimming blanks, single characters and sets of characters from either
// end.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"

namespace {

TEST(TextStringTrimLeft, RemovesSpacesAndTabsUpToALineBreak) {
  TextString s(" \t \t\nab", 0);
  EXPECT_STREQ(s.TrimLeft(), "\nab");
  const char* before = s.GetText();
  EXPECT_EQ(s.TrimLeft(), before);  // nothing to trim: the tight buffer is kept
}

TEST(TextStringTrimSet, FoldsCaseAndOnlyTheLeftTrimCanEmptyTheText) {
  struct Row {
    const char* text;
    const char* left;
    const char* right;
  } rows[] = {{"xXabxX", "abxX", "xXab"}, {"xxx", "", "x"}, {"x", "", "x"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TextString left(row.text, 0);
    EXPECT_STREQ(left.TrimLeftSet("x"), row.left);
    TextString right(row.text, 0);
    const char* before = right.GetText();
    EXPECT_EQ(right.TrimRightSet("X"), before);
    EXPECT_STREQ(right.GetText(), row.right);
  }
}

TEST(TextStringTrimSet, MissingOrBlankSetTrimsNothing) {
  for (const char* set : {static_cast<const char*>(nullptr), "", " \t\r\n"}) {
    TextString s(" a ", 0);
    EXPECT_STREQ(s.TrimLeftSet(set), " a ");
    EXPECT_STREQ(s.TrimRightSet(set), " a ");
  }
}

// A set as long as the text, with the one member that matters at its end:
// asking the set about every byte of the text would read about 10^12 bytes.
TEST(TextStringTrimSet, LongSetOnLongTextTrimsInOnePass) {
  const size_t length = size_t{1} << 20;
  const std::string set = std::string(length, 'x') + "A";
  TextString right(("b" + std::string(length, 'a')).c_str(), 0);
  EXPECT_STREQ(right.TrimRightSet(set.c_str()), "b");
  TextString left((std::string(length, 'a') + "b").c_str(), 0);
  EXPECT_STREQ(left.TrimLeftSet(set.c_str()), "b");
}

TEST(TextStringTrimRight, RemovesSpacesAndTabsInPlace) {
  struct Row {
    const char* text;
    const char* expected;
  } rows[] = {{"a \t \t", "a"}, {"   ", ""}, {"", ""}, {"a\n ", "a\n"}, {" a", " a"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TextString s(row.text, 0);
    const char* before = s.GetText();
    EXPECT_EQ(s.TrimRight(), before);
    EXPECT_STREQ(s.GetText(), row.expected);
  }
}

TEST(TextStringTrimRightChar, OneOrAllOfTheRun) {
  struct Row {
    const char* text;
    char c;
    int all;
    const char* expected;
  } rows[] = {
      {"abc", '\0', 1, "ab"}, {"x\"\"", '"', 0, "x\""}, {"x\"\"", '"', 1, "x"},
      {"\"\"", '"', 1, ""},   {"abc", 'y', 1, "abc"},   {"", '\0', 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " / " << static_cast<int>(row.c) << row.all);
    TextString s(row.text, 0);
    const char* before = s.GetText();
    EXPECT_EQ(s.TrimRightChar(row.c, row.all), before);
    EXPECT_STREQ(s.GetText(), row.expected);
  }
}

TEST(TextStringTrimLeftChar, RemovesTheWholeLeadingRun) {
  struct Row {
    const char* text;
    char c;
    const char* expected;
  } rows[] = {{"   x ", ' ', "x "}, {"abc", '\0', "bc"}, {"abc", 'y', "abc"}, {"aaa", 'a', ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " / " << static_cast<int>(row.c));
    TextString s(row.text, 0);
    s.TrimLeftChar(row.c);
    EXPECT_STREQ(s.GetText(), row.expected);
  }
}

TEST(TextStringTrimLeftChar, BufferFollowsAssign) {
  TextString wide("  ab", 40);
  const char* before = wide.GetText();
  wide.TrimLeftChar(' ');
  EXPECT_EQ(wide.GetText(), before);  // "ab" needs 3, well below 40
  EXPECT_EQ(wide.GetAt(3), 'b');      // stale byte of the old text
  TextString tight("xa", 0);          // capacity 3; "a" needs 2
  before = tight.GetText();
  tight.TrimLeftChar('x');
  EXPECT_EQ(tight.GetText(), before);
  TextString unchanged("ab", 0);
  before = unchanged.GetText();
  unchanged.TrimLeftChar('z');
  EXPECT_EQ(unchanged.GetText(), before);
}

TEST(TextStringTrim, WithoutBufferChangesNothing) {
  Bufferless<TextString> s;
  EXPECT_EQ(s.TrimRight(), nullptr);
  EXPECT_EQ(s.TrimRightChar('\0', 1), nullptr);
  EXPECT_EQ(s.TrimLeftChar('\0'), nullptr);
  EXPECT_EQ(s.TrimLeft(), nullptr);
  EXPECT_EQ(s.TrimLeftSet("x"), nullptr);
  EXPECT_EQ(s.TrimRightSet("x"), nullptr);
  EXPECT_EQ(s.GetText(), nullptr);
}

}  // namespace
