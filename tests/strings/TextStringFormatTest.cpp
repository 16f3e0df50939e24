// Format and AppendFormat: whole results whatever their length, stored by the
// buffer rules of Assign and Append.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"

namespace {

TEST(TextStringFormat, ReplacesOrAppendsAlsoWithoutBuffer) {
  TextString s("old", 260);
  const char* before = s.GetText();
  EXPECT_STREQ(s.Format("%d-%s", 42, s.GetText()), "42-old");
  EXPECT_EQ(s.GetText(), before);  // a roomy buffer is kept by Assign
  EXPECT_STREQ(s.AppendFormat("%c%03d", '+', 7), "42-old+007");
  s.Free();
  EXPECT_STREQ(s.AppendFormat("%s", "new"), "new");
  s.Free();
  EXPECT_STREQ(s.Format("%u", 5u), "5");
}

TEST(TextStringFormat, ResultIsNeverCut) {
  // A 1000-character format works in 1100 bytes: room for 1099 and the
  // terminator; a 5-character one in 800.
  const std::string longFormat = std::string(998, 'f') + "%s";
  const std::string fits(101, 'a'), over(102, 'a');
  struct Row {
    const char* format;
    const char* arg;
    unsigned length;
  } rows[] = {{"%799s", "x", 799},
              {"%800s", "x", 800},
              {"%5000s", "x", 5000},
              {longFormat.c_str(), fits.c_str(), 1099},
              {longFormat.c_str(), over.c_str(), 1100}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.length);
    TextString s("ab", 0);
    s.Format(row.format, row.arg);
    EXPECT_EQ(s.GetLength(), row.length);
    EXPECT_EQ(s.GetCapacity(), row.length + 1);
    s.AppendFormat(row.format, row.arg);
    EXPECT_EQ(s.GetLength(), 2 * row.length);
  }
}

TEST(TextStringFormat, NullOrFailedFormatChangesNothing) {
  TextString s("ab", 0);
  const char* before = s.GetText();
  EXPECT_EQ(s.Format(nullptr), before);
  EXPECT_EQ(s.AppendFormat(nullptr), before);
#if !defined( \
    __MINGW32__)  // MinGW's printf drops an unconvertible wide character instead of failing
  // A wide character that the "C" locale cannot convert makes printf fail.
  EXPECT_EQ(s.Format("%ls", L"\x100"), before);
  EXPECT_EQ(s.AppendFormat("%ls", L"\x100"), before);
#endif
  EXPECT_STREQ(s.GetText(), "ab");
}

}  // namespace
