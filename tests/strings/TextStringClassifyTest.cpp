// Case conversion, character tests and IsComment.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"

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

// Long texts are converted a word at a time: every byte value must come out
// as converting it alone gives, and bytes after the terminator, which a kept
// buffer still holds, must stay as they were.
TEST(TextStringCase, EveryByteValueAndNothingAfterTheText) {
  std::string all;
  for (int round = 0; round < 3; ++round) {
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  }
  for (size_t length : {all.size(), all.size() - 3, size_t{13}}) {
    const std::string original = all.substr(0, length);
    std::string upper = original;
    std::string lower = original;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    TextString s(all.c_str(), 0);
    s.Assign(original.c_str(), 0);  // kept: the rest of `all` stays after it
    SCOPED_TRACE(length);
    s.MakeUpper();
    EXPECT_EQ(std::string(s.GetText()), upper);
    s.MakeLower();
    EXPECT_EQ(std::string(s.GetText()), lower);
    for (size_t i = length + 1; i < all.size(); ++i) {
      EXPECT_EQ(s.GetAt(static_cast<unsigned>(i)), all[i]) << i;
    }
  }
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
  Bufferless<TextString> none;
  EXPECT_EQ(none.IsHexNumber() + none.IsNumber() + none.IsBreakOnly(), 3);
  EXPECT_EQ(none.IsComment(), 0);
}

}  // namespace
