// What setup-debug.exe tells a debugger (DebugTrail.h), recorded through the
// tests' sink instead of the debugger.
#include "AdminExe/DebugTrail.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "AdminExe/Setup.h"
#include "tests/AdminExe/TestLibraries.h"

namespace {

std::vector<std::string>* recorded = nullptr;

void RecordLine(const char* line) { recorded->push_back(line); }

// While alive, the trail's lines are recorded in `lines`.
class Trail {
 public:
  Trail() {
    recorded = &lines;
    debugtrail::SetSinkForTesting(RecordLine);
  }
  ~Trail() {
    debugtrail::SetSinkForTesting(nullptr);
    recorded = nullptr;
  }
  // Whether each pattern matches a whole line, in this order (other lines
  // may come between).
  bool Tells(const std::vector<std::string>& patterns) const {
    size_t at = 0;
    for (const std::string& pattern : patterns) {
      const std::regex expected(pattern);
      while (at < lines.size() && !std::regex_match(lines[at], expected)) ++at;
      if (at == lines.size()) return false;
      ++at;
    }
    return true;
  }
  std::string All() const {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
  }
  std::vector<std::string> lines;
};

TEST(DebugTrailLikeness, DecoratedOrOtherCaseNamesAreHints) {
  using debugtrail::Likeness;
  struct Row {
    const char* exported;
    Likeness likeness;
  } rows[] = {
      {"PreInstall@4", Likeness::kDecorated},
      {"_PreInstall@4", Likeness::kDecorated},
      {"preinstall@12", Likeness::kDecorated},
      {"preinstall", Likeness::kOtherCase},
      {"PREINSTALL", Likeness::kOtherCase},
      {"PreInstall", Likeness::kUnlike},
      {"_preinstall", Likeness::kUnlike},
      {"PreInstall@", Likeness::kUnlike},
      {"PreInstall@4x", Likeness::kUnlike},
      {"PreInstall@@4", Likeness::kUnlike},
      {"PreInstallEx", Likeness::kUnlike},
      {"Pre", Likeness::kUnlike},
      {"", Likeness::kUnlike},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.exported);
    EXPECT_EQ(debugtrail::LikenessOf(row.exported, "PreInstall"), row.likeness);
  }
}

// A run of the program's whole job (RunSetup) with each library: what the
// trail tells, line by line.
TEST(DebugTrailRun, TellsTheCommandLineEachCandidateTheEntryAndTheResult) {
  const std::string failed = "not loaded, error [0-9]+: .+";
  struct Row {
    const char* what;
    int debugLookup;
    std::string library;  // empty: found by name
    int result;           // what PreInstall returns when it is called
    int exitCode;
    std::vector<std::string> lines;
  } rows[] = {
      {"found beside the program, debug folder first",
       1,
       "",
       42,
       42,
       {R"(setup-debug: command line for PreInstall: \[.*\])",
        R"(setup-debug: library C:\\OvratDebug\\dropnestlib\.dll: not there)",
        R"(setup-debug: library dropnestlib\.dll \(beside the program, then the system folder\): loaded)",
        "setup-debug: PreInstall found",
        R"(setup-debug: PreInstall returned 42 \(0x0000002A\): the exit code)"}},
      {"3010 passed on",
       0,
       testlibs::Beside("dropnestlib.dll"),
       3010,
       3010,
       {R"(setup-debug: PreInstall returned 3010 \(0x00000BC2\): the exit code)"}},
      {"a library that does not load",
       0,
       testlibs::Beside("no-such-library.dll"),
       7,
       0,
       {R"(setup-debug: command line for PreInstall: \[.*\])",
        "setup-debug: library .*no-such-library\\.dll: " + failed,
        "setup-debug: PreInstall was not called: exit code 0"}},
      {"an export in another case",
       0,
       testlibs::Beside("fixture-lowercase.dll"),
       7,
       0,
       {R"(setup-debug: library .*fixture-lowercase\.dll: loaded)",
        R"(setup-debug: no export named exactly "PreInstall"; it exports "preinstall": the case must match exactly)",
        "setup-debug: PreInstall was not called: exit code 0"}},
      {"no export like it",
       0,
       testlibs::Beside("fixture-noexport.dll"),
       7,
       0,
       {R"(setup-debug: no export named exactly "PreInstall"; nothing like it is exported)",
        "setup-debug: PreInstall was not called: exit code 0"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testlibs::Record record(row.result);
    Trail trail;
    const int result =
        RunSetup(row.debugLookup, row.library.empty() ? nullptr : row.library.c_str());
    EXPECT_EQ(result, row.exitCode);
    EXPECT_TRUE(trail.Tells(row.lines)) << trail.All();
  }
}

}  // namespace
