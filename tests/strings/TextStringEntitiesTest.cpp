#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"

namespace {

struct Row {
  const char* before;
  const char* after;
};

// Runs `operation` on a string holding each row's text and compares the
// text afterwards.
template <typename Operation>
void ExpectRows(std::initializer_list<Row> rows, Operation operation) {
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.before));
    TextString string(row.before, 0);
    operation(string);
    EXPECT_STREQ(row.after, string.GetText());
  }
}

TEST(TextStringEntities, DecodesTableReferencesAndThenAmpersands) {
  ExpectRows(
      {
          {"&Auml;", "\xC4"},
          {"&Ouml;&ouml;", "\xD6\xF6"},
          {"Stra&szlig;e &sect;1 &Yacute;",
           "Stra\xDF"
           "e \xA7"
           "1 \xDD"},
          {"a &amp; b", "a & b"},
          {"&amp;auml;", "&auml;"},                // one level deep
          {"&AMP;lt; &amp;gt;", "&AMP;lt; &gt;"},  // every '&' begins "&amp": no commas
          {"&ouml", "&ouml"},
      },
      [](TextString& s) { s.DecodeEntities(); });
}

TEST(TextStringEntities, DecodingProtectsSemicolonsOfReferencesThatStay) {
  ExpectRows(
      {
          {"&AUML;", "&AUML,"},
          {"&lt;b&gt;", "&lt,b&gt,"},
          {"x &#228; y", "x &#228, y"},
          {"&lt; &amp; &auml;", "&lt, & \xE4"},
      },
      [](TextString& s) { s.DecodeEntities(); });
}

TEST(TextStringEntities, EncodesAmpersandsFirstThenTableBytes) {
  ExpectRows(
      {
          {"\xC4 & \xF6", "&Auml; &amp; &ouml;"},
          {"&ouml;", "&amp;ouml;"},
          {"<\"'>", "<\"'>"},
          {"\xE7\xC7\xDF\xA7", "&ccedil;&Ccedil;&szlig;&sect;"},
      },
      [](TextString& s) { s.EncodeEntities(); });
}

TEST(TextStringEntities, DecodingUndoesEncodingForEveryByte) {
  std::string all;
  for (int byte = 1; byte <= 0xFF; ++byte) all += static_cast<char>(byte);
  TextString string(all.c_str(), 0);
  string.EncodeEntities();
  EXPECT_EQ(nullptr, std::strchr(string.GetText(), '\xE4'));
  EXPECT_STREQ(all.c_str(), string.DecodeEntities());
}

TEST(TextStringEntities, EscapesEachUrlCharacterOnce) {
  ExpectRows(
      {
          {"a#b$c%d&e+f", "a%23b%24c%25d%26e%2Bf"},
          {"100%", "100%25"},
          {"%23", "%2523"},
          {"a b/c?d=e", "a b/c?d=e"},
      },
      [](TextString& s) { s.EscapeUrlChars(); });
}

TEST(TextStringEntities, ProtectEntitiesTurnsClosingSemicolonsIntoCommas) {
  ExpectRows(
      {
          {"&x; y;", "&x, y;"},
          {"&amp; &AMP;", "&amp; &AMP;"},
          {"&#228;&#246;", "&#228,&#246,"},
          {"&#228; a;b", "&#228, a,b"},      // the second pass takes the next ';'
          {"&#1234; a;b", "&#1234, a,b"},    // a body of four is the longest
          {"&#12345; a;b", "&#12345, a;b"},  // too long: the second pass takes it
          {"&#; a;", "&#, a,"},              // the first pass never looks right after "&#"
          {"a & b", "a & b"},
      },
      [](TextString& s) { EXPECT_EQ(nullptr, s.ProtectEntities()); });
}

TEST(TextStringEntities, ProtectEntitiesNeverReadsPastTheText) {
  // Buffers of exactly the text's size: the sanitizer sees any read beyond.
  for (const char* text : {"&#", "&#1", "a&#12", "&", "&am"}) {
    SCOPED_TRACE(text);
    TextString string(text, static_cast<unsigned>(std::strlen(text)));
    EXPECT_EQ(nullptr, string.ProtectEntities());
    EXPECT_STREQ(text, string.GetText());
  }
}

TEST(TextStringEntities, ReplacementsFollowTheReplaceBufferRule) {
  TextString shorter("&Auml;", 0);
  char* const buffer = shorter.GetText();
  EXPECT_EQ(buffer, shorter.DecodeEntities());
  EXPECT_EQ(7u, shorter.GetCapacity());

  TextString longer("\xC4", 0);
  longer.EncodeEntities();
  EXPECT_EQ(6u, longer.GetCapacity());
}

TEST(TextStringEntities, WithoutBufferNothingHappens) {
  Bufferless<TextString> string;
  EXPECT_EQ(nullptr, string.DecodeEntities());
  EXPECT_EQ(nullptr, string.EncodeEntities());
  EXPECT_EQ(nullptr, string.EscapeUrlChars());
  EXPECT_EQ(nullptr, string.ProtectEntities());
  EXPECT_EQ(nullptr, string.GetText());
}

TEST(TextStringEntities, HandlesLargeTextsWithManyReferences) {
  // 1 MiB with 50,000 references of each kind.
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "&lt;&ouml;&#9;";
  text.resize(1 << 20, 'x');
  TextString string(text.c_str(), 0);
  string.DecodeEntities();
  std::string expected;
  for (int i = 0; i < 50000; ++i) expected += "&lt,\xF6&#9,";
  expected.resize(expected.size() + (1 << 20) - 50000 * 14, 'x');
  EXPECT_STREQ(expected.c_str(), string.GetText());
}

}  // namespace
