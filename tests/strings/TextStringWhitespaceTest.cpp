// Tab expansion and blank removal.
#include <gtest/gtest.h>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"

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

TEST(TextStringWhitespace, WithoutBufferEveryOperationReturnsNull) {
  Bufferless<TextString> s;
  EXPECT_EQ(s.ExpandTabs(2), nullptr);
  EXPECT_EQ(s.RemoveWhitespace(), nullptr);
}

}  // namespace
