#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"
#include "tests/support/LiteralPasses.h"
#include "tests/support/SeamText.h"

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
          {"&#7; abc;", "&#7, abc,"},  // a body of one: its ';' is the numeric pass's
          {"&amp&lt;;", "&amp&lt,;"},  // the second '&' is inside the first's span
          {"&x&amp;y;", "&x&amp,y;"},  // even an "&amp;" there loses its ';'
          {"&#3&#4;;", "&#3&#4,,"},
          {"x &#", "x &#"},
          {"x &", "x &"},
          // Every ampersand that stays begins "&amp" (case folded), so nothing
          // is protected, though none of them is an "&amp;".
          {"&ampx; &AMPy;", "&ampx; &AMPy;"},
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
          {"&#7; abc;", "&#7, abc,"},        // a body of one
          {"&#3&#4; x;", "&#3&#4, x,"},      // the second reference begins in the first's places
          {"&a&b;c; and d;", "&a&b,c; and d;"},  // an '&' before the last ';' taken is passed over
          {"&amp&lt;; d;", "&amp&lt,; d;"},      // so is one after "&amp" without its ';'
          {"&x&amp;y; d;", "&x&amp,y; d;"},      // and an "&amp;" there
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

// Decoding and encoding are written in one scan; they must leave what their
// passes, run one by one, leave: text, size, kept or replaced buffer and
// every byte after the terminator. The pieces sit at every seam of that
// scan: the 8 bytes a reference is read in, the 64-byte blocks and the
// 1,024-byte windows in which ampersands are found, the four parts in
// which a long text is encoded, and the end of the text, where a piece may
// be cut short right after '&' or "&#". The capacities are the length,
// one more, 260, and the two around the encoded result's length, where
// the result just fills, or just leaves room in, the buffer.
struct PassesRow {
  const char* piece;
  const char* filler;
};

void ExpectPassesAtEverySeam(std::initializer_list<PassesRow> rows,
                             const char* (TextString::*operation)(),
                             const char* (*passes)(TextString&)) {
  for (const PassesRow& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "piece " << literal::Shown(row.piece, std::strlen(row.piece)) << " in "
                 << literal::Shown(row.filler, std::strlen(row.filler)));
    Mismatches mismatches;
    const std::string piece = row.piece;
    for (size_t length : {1, 7, 8, 9, 63, 64, 65, 1023, 1024, 1025, 4096}) {
      const size_t part = length / 4;
      for (size_t at : SeamStarts(length, piece.size(),
                                  {8, 64, 1024, 2048, part, 2 * part, 3 * part, length})) {
        const std::string text = SeamText(length, row.filler, at, piece);
        TextString plain(text.c_str(), 0);
        const unsigned result = static_cast<unsigned>(std::strlen(passes(plain)));
        const unsigned size = static_cast<unsigned>(length);
        for (unsigned capacity : {size, size + 1, 260u, result + 1, result + 2}) {
          if (capacity < size) continue;
          mismatches.Add(
              std::to_string(length) + " bytes, piece at " + std::to_string(at) + ", capacity " +
                  std::to_string(capacity),
              AgainstPasses(
                  text, capacity, [operation](TextString& s) { return (s.*operation)(); }, passes));
        }
      }
    }
    EXPECT_EQ(mismatches.count(), 0) << mismatches.first();
  }
}

TEST(TextStringEntities, DecodingLeavesWhatItsPassesLeaveAtEverySeam) {
  ExpectPassesAtEverySeam(
      {
          {"&ouml;", "abcdefghijklmnopqrstuvwxyz"},
          {"&Ccedil;", "abcdefghijklmnopqrstuvwxyz"},  // the longest reference
          {"&amp;", "abcdefghijklmnopqrstuvwxyz"},     // every '&' begins "&amp"
          {"&AMP;", "abcdefghijklmnopqrstuvwxyz"},
          {"&amp;ouml;", "abcdefghijklmnopqrstuvwxyz"},
          {"&AUML;", "abcdefghijklmnopqrstuvwxyz"},
          {"&#7;", "abcdefghijklmnopqrstuvwxyz"},
          {"&#1234;", "abcdefghijklmnopqrstuvwxyz"},
          {"&#3&#4;;", "abcdefghijklmnopqrstuvwxyz"},
          {"&amp&lt;;", "abcdefghijklmnopqrstuvwxyz"},
          {"&x&amp;y;", "abcdefghijklmnopqrstuvwxyz"},
          {"&ouml;", "a;b &lt; c&amp;d"},  // references and semicolons all along
          {"&#7;", "a;b &lt; c&amp;d"},
          {"&amp;", "a;b &lt; c&amp;d"},
          {"&szlig&sect;", "x&ouml;y&AMP;z;"},
      },
      &TextString::DecodeEntities, literal::DecodeEntities);
}

TEST(TextStringEntities, EncodingLeavesWhatItsPassesLeaveAtEverySeam) {
  ExpectPassesAtEverySeam(
      {
          {"\xC7", "abcdefghijklmnopqrstuvwxyz"},  // the longest reference
          {"&", "abcdefghijklmnopqrstuvwxyz"},
          {"\xC4&\xF6", "abcdefghijklmnopqrstuvwxyz"},
          {"\xDF", "ab\xF6;cd e&f"},  // references all along: every part of a long text has some
          {"&ouml;", "0123456789\xE4"},
      },
      &TextString::EncodeEntities, literal::EncodeEntities);
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
