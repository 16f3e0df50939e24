// How the program's command line becomes the installer library's text.
#include "AdminExe/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

#include "paths/PathString.h"

namespace {

std::string Prepared(const char* commandLine, const char* modulePath) {
  PathString text(commandLine, 260);
  const char* result = PrepareCommandLine(&text, modulePath);
  EXPECT_NE(result, nullptr);
  return result != nullptr ? result : "(null)";
}

constexpr char kModule[] = "C:\\X\\setup.exe";

TEST(LauncherCommandLine, StripsOwnPathQuotesAndBlanks) {
  struct Row {
    const char* commandLine;
    const char* expected;
  } rows[] = {
      {"\"C:\\X\\setup.exe\" /install", "/install"},
      {"\"c:\\x\\SETUP.EXE\" /install", "/install"},
      {"\"C:\\X\\setup.exe\"", ""},
      {"\"C:\\X\\setup.exe\" /dir \"C:\\a b\"", "/dir \"C:\\a b"},
      {"\"C:\\X\\setup.exe\" /a \"\"", "/a "},
      {"\"C:\\X\\setup.exe\"\t/a", "\t/a"},
      {"setup.exe /q", "setup.exe /q"},
      {"C:\\X\\setup.exe /q", "/q"},
      {"  \"\"C:\\X\\setup.exe\"\"  /q  \t", "/q"},
      {"", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.commandLine);
    EXPECT_EQ(Prepared(row.commandLine, kModule), row.expected);
  }
}

TEST(LauncherCommandLine, ArgumentThatMentionsOwnPathStaysWhole) {
  EXPECT_EQ(Prepared("\"C:\\X\\setup.exe\" /log C:\\X\\setup.exe.log", kModule),
            "/log C:\\X\\setup.exe.log");
  EXPECT_EQ(Prepared("setup.exe /copy C:\\X\\setup.exe", kModule),
            "setup.exe /copy C:\\X\\setup.exe");
}

TEST(LauncherCommandLine, UnknownModulePathRemovesNothing) {
  EXPECT_EQ(Prepared("\"C:\\X\\setup.exe\" /q", nullptr), "C:\\X\\setup.exe\" /q");
  EXPECT_EQ(Prepared("\"C:\\X\\setup.exe\" /q", ""), "C:\\X\\setup.exe\" /q");
}

// Counts the operations that rewrite the whole text.
class RewriteCountingPath : public PathString {
 public:
  using PathString::PathString;
  const char* Assign(const char* source, unsigned minSize) override {
    ++rewrites;
    return PathString::Assign(source, minSize);
  }
  const char* TrimLeftChar(char c) override {
    ++rewrites;
    return PathString::TrimLeftChar(c);
  }
  int rewrites = 0;
};

TEST(LauncherCommandLine, ManyLeadingRunsCostAFixedNumberOfRewrites) {
  // Alternating blanks and quotes: one run each, a thousand runs.
  std::string line;
  for (int i = 0; i < 1000; ++i) line += " \"";
  line += "/q";
  RewriteCountingPath text(line.c_str(), 260);
  text.rewrites = 0;
  EXPECT_STREQ(PrepareCommandLine(&text, kModule), "/q");
  EXPECT_LE(text.rewrites, 4);
}

TEST(LauncherCommandLine, LeadingRunsKeepTheBufferAsSeparateTrimsWould) {
  // The first trim replaces a full buffer (need reaches the capacity) by one
  // of the same size; the rest of the runs then fit it.
  PathString full(" \" \"x", 5);
  const unsigned capacity = full.GetCapacity();
  EXPECT_STREQ(PrepareCommandLine(&full, nullptr), "x");
  EXPECT_EQ(full.GetCapacity(), capacity);
  // With room to spare the buffer stays.
  PathString roomy(" \" \"x", 260);
  const char* before = roomy.GetText();
  EXPECT_STREQ(PrepareCommandLine(&roomy, nullptr), "x");
  EXPECT_EQ(roomy.GetText(), before);
  EXPECT_EQ(roomy.GetCapacity(), 260u);
}

TEST(LauncherCommandLine, LongCommandLineIsKeptWhole) {
  std::string tail(5000, 'a');
  EXPECT_EQ(Prepared(("\"C:\\X\\setup.exe\" " + tail).c_str(), kModule), tail);
}

}  // namespace
