// C:\OvratDebug, the vendor's debug folder: setup.exe never looks there;
// setup-debug.exe loads its dropnestlib.dll first when that loads, and
// tells a debugger what it did.
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/harness/DebugFolder.h"
#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/LauncherTest.h"

namespace e2e {
namespace {

class DebugDirectoryTest : public LauncherTest {
 protected:
  DebugDirectoryTest() : LauncherTest(kUsesDebugFolder) {}
};

enum class Layout {
  kAbsent,
  kLibrary,
  kFolderIsAFile,
  kCandidateIsAFolder,
  kCandidateIsNotALibrary,
};

const char* Name(Layout layout) {
  switch (layout) {
    case Layout::kAbsent:
      return "absent";
    case Layout::kLibrary:
      return "library";
    case Layout::kFolderIsAFile:
      return "debug directory is a file";
    case Layout::kCandidateIsAFolder:
      return "candidate is a directory";
    case Layout::kCandidateIsNotALibrary:
      return "candidate is not a library";
  }
  return "?";
}

enum class Loads { kBeside, kDebug, kNothing };

TEST_F(DebugDirectoryTest, WhichLibraryIsLoaded) {
  const std::string candidate = JoinPath(kDebugFolder, kLibraryName);
  const struct {
    Layout layout;
    bool beside;  // a library beside the program
    Loads setupLoads;
    Loads setupDebugLoads;
  } rows[] = {
      {Layout::kAbsent, true, Loads::kBeside, Loads::kBeside},
      {Layout::kLibrary, true, Loads::kBeside, Loads::kDebug},
      {Layout::kLibrary, false, Loads::kNothing, Loads::kDebug},
      {Layout::kFolderIsAFile, true, Loads::kBeside, Loads::kBeside},
      {Layout::kCandidateIsAFolder, true, Loads::kBeside, Loads::kBeside},
      {Layout::kCandidateIsNotALibrary, true, Loads::kBeside, Loads::kBeside},
  };
  int number = 0;
  for (const auto& row : rows) {
    for (const Launcher launcher : {Launcher::kSetup, Launcher::kSetupDebug}) {
      SCOPED_TRACE(std::string("C:\\OvratDebug: ") + Name(row.layout) +
                   (row.beside ? ", a library beside " : ", none beside ") + FileName(launcher));
      ASSERT_TRUE(RemoveDebugFolder());
      const std::string app = Folder("App-" + std::to_string(number) + "-" + FileName(launcher));
      const std::string exe = PutLauncher(app, launcher);
      const std::string beside = row.beside ? PutLibrary(app) : std::string();
      switch (row.layout) {
        case Layout::kAbsent:
          break;
        case Layout::kLibrary:
          ASSERT_TRUE(MakeDebugFolder());
          PutLibrary(kDebugFolder);
          break;
        case Layout::kFolderIsAFile:
          ASSERT_TRUE(MakeDebugFolderFile());
          break;
        case Layout::kCandidateIsAFolder:
          ASSERT_TRUE(MakeDebugFolder());
          ASSERT_TRUE(MakeFolders(candidate));
          break;
        case Layout::kCandidateIsNotALibrary:
          ASSERT_TRUE(MakeDebugFolder());
          ASSERT_TRUE(WriteBytes(candidate, "MZ but nothing a loader would take\n"));
          break;
      }
      const Outcome run = RunProgram(Request(exe, 4321));
      const Loads expected = launcher == Launcher::kSetup ? row.setupLoads : row.setupDebugLoads;
      if (expected == Loads::kNothing) {
        EXPECT_EQ(run.records.size(), 0u) << Describe(run.records);
        EXPECT_EQ(run.Code(), 0);
      } else {
        EXPECT_TRUE(
            LoadedOnce(run.records, expected == Loads::kBeside ? beside : candidate, "/test"));
        EXPECT_EQ(run.Code(), 4321);
      }
    }
    ++number;
  }
  EXPECT_TRUE(RemoveDebugFolder());
  EXPECT_FALSE(Exists(kDebugFolder));
}

class DebugTrailTest : public LauncherTest {
 protected:
  DebugTrailTest() : LauncherTest(kUsesDebugFolder) {}
};

struct Placed {
  const char* name;
  const char* variant;
};

// What setup-debug.exe tells a debugger (the test follows it as one): the
// command line, each library candidate and its outcome, whether PreInstall
// was found (with a hint for a decorated name), and the result. The debug
// folder's copy loads its own companion from the debug folder. setup.exe
// tells nothing.
TEST_F(DebugTrailTest, TrailTellsWhatWasLoadedAndWhy) {
  const std::string debugCandidate = R"(setup-debug: library C:\\OvratDebug\\dropnestlib\.dll)";
  const std::string beside =
      R"(setup-debug: library dropnestlib\.dll \(beside the program, then the system folder\))";
  const std::string failed = R"(: not loaded, error 126: .+)";
  const struct {
    const char* name;
    std::vector<Placed> beside;
    std::vector<Placed> debugFolder;
    int code;
    std::vector<std::string> patterns;  // lines of the trail, in this order
  } rows[] = {
      {"found beside the program",
       {{kLibraryName, kRecording}},
       {},
       3010,
       {R"(setup-debug: command line for PreInstall: \[/test\])", debugCandidate + ": not there",
        beside + ": loaded", "setup-debug: PreInstall found",
        R"(setup-debug: PreInstall returned 3010 \(0x00000BC2\): the exit code)"}},
      {"found in the debug folder",
       {},
       {{kLibraryName, kRecording}},
       3010,
       {debugCandidate + ": loaded; its folder is in the library search for its own DLLs",
        "setup-debug: PreInstall found"}},
      {"not found anywhere",
       {},
       {},
       0,
       {debugCandidate + ": not there", beside + failed,
        "setup-debug: PreInstall was not called: exit code 0"}},
      {"a decorated export",
       {{kLibraryName, kDecorated}},
       {},
       0,
       {beside + ": loaded",
        R"(setup-debug: no export named exactly "PreInstall"; it exports "PreInstall@4", )"
        R"(a decorated name: link the library with -Wl,--kill-at \(or a \.def file\))",
        "setup-debug: PreInstall was not called: exit code 0"}},
      {"the debug folder's companion",
       {},
       {{kLibraryName, kCompanionLoader}, {kCompanion, kRecording}},
       3010,
       {"setup-debug: PreInstall found",
        R"(setup-debug: PreInstall returned 3010 \(0x00000BC2\): the exit code)"}},
  };
  int number = 0;
  for (const auto& row : rows) {
    for (const Launcher launcher : {Launcher::kSetupDebug, Launcher::kSetup}) {
      SCOPED_TRACE(std::string(row.name) + ", " + FileName(launcher));
      ASSERT_TRUE(RemoveDebugFolder());
      const std::string app = Folder("App-" + std::to_string(number) + "-" + FileName(launcher));
      const std::string exe = PutLauncher(app, launcher);
      for (const Placed& placed : row.beside) PutLibrary(app, placed.variant, placed.name);
      if (!row.debugFolder.empty()) {
        ASSERT_TRUE(MakeDebugFolder());
      }
      for (const Placed& placed : row.debugFolder) {
        PutLibrary(kDebugFolder, placed.variant, placed.name);
      }
      LaunchRequest request = Request(exe, 3010);
      request.followAsDebugger = true;
      const Outcome run = RunProgram(request);
      std::string trail;
      for (const std::string& line : run.launch.debugLines) trail += "  " + line + "\n";
      if (launcher == Launcher::kSetup) {
        EXPECT_TRUE(run.launch.debugLines.empty()) << "setup.exe told a debugger:\n" << trail;
        continue;
      }
      EXPECT_EQ(run.Code(), row.code);
      size_t at = 0;
      for (const std::string& pattern : row.patterns) {
        const std::regex expected(pattern);
        while (at < run.launch.debugLines.size() &&
               !std::regex_match(run.launch.debugLines[at], expected)) {
          ++at;
        }
        EXPECT_LT(at, run.launch.debugLines.size())
            << "no line matching " << pattern << " (after the lines matched before) in:\n"
            << trail;
        if (at >= run.launch.debugLines.size()) break;
        ++at;
      }
      bool companionInDebugFolder = false;
      for (const Placed& placed : row.debugFolder) {
        companionInDebugFolder |= std::string(placed.name) == kCompanion;
      }
      if (companionInDebugFolder) {
        const std::string wanted = "\\OvratDebug\\" + std::string(kCompanion);
        bool loaded = false;
        std::string list;
        for (const std::string& path : run.launch.loadedLibraries) {
          // The drive as the system reports it may differ in form.
          loaded |= path.size() >= wanted.size() &&
                    SamePath(path.substr(path.size() - wanted.size()), wanted);
          list += "  " + path + "\n";
        }
        EXPECT_TRUE(loaded) << "the companion did not load from the debug folder; loaded:\n"
                            << list;
      }
    }
    ++number;
  }
}

}  // namespace
}  // namespace e2e
