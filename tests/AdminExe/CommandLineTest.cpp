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

TEST(LauncherCommandLine, LongCommandLineIsKeptWhole) {
  std::string tail(5000, 'a');
  EXPECT_EQ(Prepared(("\"C:\\X\\setup.exe\" " + tail).c_str(), kModule), tail);
}

}  // namespace
