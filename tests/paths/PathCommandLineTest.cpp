// Command lines, appended arguments, extensions, doubled backslashes and
// quoted values.
#include <gtest/gtest.h>

#include <cstring>

#include "paths/PathString.h"

namespace {

TEST(PathCommandLine, QuotesThePathAndOnRequestTheArguments) {
  struct Row {
    const char* path;
    const char* arguments;
    const char* plain;   // quoteArguments 0
    const char* quoted;  // quoteArguments 1
  } rows[] = {
      {"C:\\Tools\\run.exe", "-q", "\"C:\\Tools\\run.exe\" -q", "\"C:\\Tools\\run.exe\" \"-q\""},
      {"run", "", "\"run\" ", "\"run\" \"\""},
      {"run", nullptr, "run", "run"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << " " << testing::PrintToString(row.arguments));
    PathString plain(row.path, 260);
    EXPECT_STREQ(plain.MakeCommandLine(row.arguments, 0), row.plain);
    PathString quoted(row.path, 260);
    EXPECT_STREQ(quoted.MakeCommandLine(row.arguments, 1), row.quoted);
  }
}

TEST(PathCommandAppendArgument, SeparatesWithOneSpace) {
  struct Row {
    const char* path;  // null: without a buffer
    const char* argument;
    int quote;
    const char* expected;
  } rows[] = {
      {"run.exe", "-q", 0, "run.exe -q"},  {"run.exe", "-q", 1, "run.exe \"-q\""},
      {"run.exe ", "-q", 0, "run.exe -q"}, {"", "-q", 0, " -q"},
      {nullptr, "-q", 1, "\"-q\""},        {"run.exe", nullptr, 1, "run.exe"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    PathString path(row.path, 0);
    if (row.path == nullptr) path.Free();
    EXPECT_STREQ(path.AppendArgument(row.argument, row.quote), row.expected);
  }
  PathString self("ab", 0);  // the space alone needs a new buffer
  EXPECT_STREQ(self.AppendArgument(self.GetText(), 0), "ab ab");
}

TEST(PathCommandSetExtension, ReplacesWhatFollowsTheLastDot) {
  struct Row {
    const char* path;
    const char* extension;
    const char* result;  // null: the path stays
  } rows[] = {
      {"report.txt", "doc", "report.doc"},   {"report.txt", "..doc", "report.doc"},
      {"report.txt", "", "report."},         {"C:\\data.old\\readme", "txt", "C:\\data.txt"},
      {"C:\\Tools\\readme", "txt", nullptr}, {"report.txt", nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    PathString path(row.path, 260);
    EXPECT_STREQ(path.SetExtension(row.extension), row.result);
    EXPECT_STREQ(path.GetText(), row.result != nullptr ? row.result : row.path);
  }
}

TEST(PathCommandDoubleBackslashes, DoublesEachOnce) {
  PathString path("\\\\server\\a", 260);
  EXPECT_STREQ(path.DoubleBackslashes(), "\\\\\\\\server\\\\a");
}

TEST(PathCommandQuotedValue, CopiesTheValueAfterTheKey) {
  struct Row {
    const char* text;
    const char* key;
    int outSize;
    int result;
    const char* out;  // null: untouched
  } rows[] = {
      {"name=\"value\" x", "NAME=", 6, 1, "value"},
      {"name=\"value\" x", "name=", 5, 1, "valu"},
      {"name = \"value\"", "name =", 32, 1, "value"},
      {"name = \"value\"", "name", 32, 1, nullptr},  // '=' stands between
      {"name=\"value", "name=", 32, 1, nullptr},     // no closing quote
      {"\"v\" x", "", 32, 1, "v"},
      {"name=\"v\"", "name=\"", 32, 1, "v"},  // the quote lies inside the key
      {"name=\"v\"", "name=", 0, 1, nullptr},
      {"name=\"v\"", "name=", -1, 1, nullptr},
      {"name=\"v\"", "other", 32, 0, nullptr},
      {"name=\"v\"", nullptr, 32, 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << row.text << " / " << (row.key ? row.key : "null") << " / " << row.outSize);
    PathString path(row.text, 260);
    char out[40];
    std::memset(out, '#', sizeof out);
    out[sizeof out - 1] = '\0';
    EXPECT_EQ(path.GetQuotedValue(row.key, out, row.outSize), row.result);
    const int written = row.out != nullptr ? row.outSize : 0;
    if (row.out != nullptr) {
      EXPECT_STREQ(out, row.out);
    }
    for (int i = written; i < 39; ++i) {
      ASSERT_EQ(out[i], '#') << "byte " << i;
    }
    EXPECT_STREQ(path.GetText(), row.text);
  }
}

}  // namespace
