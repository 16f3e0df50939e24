// Tab expansion, blank removal, TrimLeft and the set trims.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"

namespace {

TEST(TextStringExpandTabs, EachTabBecomesWidthSpacesWhateverItsColumn) {
  TextString s("a\tbc\t", 0);
  EXPECT_STREQ(s.ExpandTabs(4), "a    bc    ");
  TextString t("\t\tx\t", 0);
  EXPECT_STREQ(t.ExpandTabs(0), "x");
}

TEST(TextStringExpandTabs, ResultBeyondThirtyTwoBitsChangesNothing) {
  for (unsigned width : {0xFFFFFFFFu, 0xFFFFFFFEu}) {
    TextString s("a\tb", 0);
    const char* before = s.GetText();
    EXPECT_EQ(s.ExpandTabs(width), before) << width;
    EXPECT_STREQ(s.GetText(), "a\tb");
  }
}

TEST(TextStringExpandTabs, WideWidthsExpandAsNarrowOnesDo) {
  // Wide replacements are measured before their spaces are made; narrow
  // ones go straight to ReplaceAll. Both must give the same kind of result.
  for (unsigned width : {4095u, 4096u, 4097u, 70000u}) {
    TextString s("a\tb", 0);
    const char* result = s.ExpandTabs(width);
    EXPECT_EQ(result, s.GetText()) << width;
    EXPECT_EQ(s.GetLength(), width + 2) << width;
    EXPECT_EQ(s.GetCapacity(), width + 2) << width;
    TextString none("ab", 0);
    const char* before = none.GetText();
    EXPECT_EQ(none.ExpandTabs(width), before) << width;
    EXPECT_STREQ(none.GetText(), "ab");
  }
}

TEST(TextStringRemoveWhitespace, KeepsVerticalTabAndFormFeed) {
  TextString s(" a\tb\r\n\v\f", 260);
  EXPECT_STREQ(s.RemoveWhitespace(), "ab\v\f");
}

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

TEST(TextStringWhitespace, WithoutBufferEveryOperationReturnsNull) {
  TextString s;
  s.Free();
  EXPECT_EQ(s.ExpandTabs(2), nullptr);
  EXPECT_EQ(s.RemoveWhitespace(), nullptr);
  EXPECT_EQ(s.TrimLeft(), nullptr);
  EXPECT_EQ(s.TrimLeftSet("x"), nullptr);
  EXPECT_EQ(s.TrimRightSet("x"), nullptr);
}

}  // namespace
