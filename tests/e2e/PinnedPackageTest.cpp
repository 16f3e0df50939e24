// A setup.exe pinned to its package (pinned-release\ beside this program,
// built from the PinnedPackage.cpp libraries; --pinned-release=DIR for a
// signed release): it runs as released; any change to a pinned file stops
// it with 577 before the attacker's code runs; nothing planted beside it
// loads; the package's files cannot be changed while PreInstall runs. The
// stand-in for a system DLL goes into the system folder, as Windows would
// have it (Wine prefers its built-ins for real system DLL names, whatever
// is planted).
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/LauncherTest.h"
#include "tests/e2e/harness/System.h"
#include "tests/e2e/harness/SystemFolderFile.h"

namespace e2e {
namespace {

class PinnedPackageTest : public LauncherTest {
 protected:
  void SetUp() override {
    const Inputs& inputs = GetInputs();
    if (!IsFolder(inputs.pinnedRelease)) {
      ASSERT_FALSE(inputs.pinnedReleaseGiven)
          << "--pinned-release: no such folder: " << inputs.pinnedRelease;
      GTEST_SKIP() << "no pinned release at " << inputs.pinnedRelease
                   << " (the build's target e2e_pinned_release makes it; --pinned-release=DIR "
                      "names another)";
    }
    LauncherTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(standIn_.Put(TestLibrary(kSystemStandIn), kSystemStandIn));
    ASSERT_TRUE(lateStandIn_.Put(TestLibrary(kSystemStandIn), kLateStandIn));
  }

  void TearDown() override {
    EXPECT_TRUE(standIn_.Remove());
    EXPECT_TRUE(lateStandIn_.Remove());
    LauncherTest::TearDown();
  }

  // A copy of the release in a folder of the sandbox; its setup.exe in *exe.
  testing::AssertionResult Released(const std::string& name, std::string* exe) {
    const std::string app = sandbox_.Path(name);
    *exe = JoinPath(app, "setup.exe");
    return CopyTree(GetInputs().pinnedRelease, app);
  }

  Outcome RunPinned(const std::string& exe, long result) {
    return RunProgram(Request(exe, result, "\"" + exe + "\" /pinned"), Records::kKeyValue);
  }

  // Ran with the package as released: every part from where the release
  // put it, the system stand-in from the system folder, nothing planted.
  void ExpectRanAsReleased(const std::string& exe, const Outcome& run, long result) {
    const std::string app = FolderOf(exe);
    SCOPED_TRACE("records:\n" + Describe(run.pinned));
    EXPECT_EQ(run.Code(), result);
    EXPECT_EQ(run.pinned.count("planted"), 0u);
    std::vector<std::string> systemCopies, lateSystemCopies;
    for (const std::string& folder : SystemFolderNames()) {
      systemCopies.push_back(JoinPath(folder, kSystemStandIn));
      lateSystemCopies.push_back(JoinPath(folder, kLateStandIn));
    }
    const struct {
      const char* key;
      std::vector<std::string> paths;  // any of them
    } expected[] = {
        {"library", {JoinPath(app, kLibraryName)}},
        {"static-companion", {JoinPath(app, kStaticCompanion)}},
        {"bare-companion", {JoinPath(app, kCompanion)}},
        // A 32-bit process may see the WoW64 system folder under either name.
        {"system-standin", systemCopies},
        {"late-standin", lateSystemCopies},
    };
    for (const auto& part : expected) {
      const auto found = run.pinned.find(part.key);
      if (found == run.pinned.end() || found->second.size() != 1) {
        ADD_FAILURE() << part.key << " was not recorded once";
        continue;
      }
      bool matches = false;
      for (const std::string& path : part.paths) matches |= SamePath(found->second[0], path);
      EXPECT_TRUE(matches) << part.key << " from " << found->second[0] << ", expected "
                           << part.paths[0];
    }
    const auto text = run.pinned.find("text");
    EXPECT_TRUE(text != run.pinned.end() && text->second == std::vector<std::string>{"/pinned"});
  }

  SystemFolderFile standIn_;
  SystemFolderFile lateStandIn_;
};

TEST_F(PinnedPackageTest, ReleaseRunsAndPassesTheResult) {
  std::string exe;
  ASSERT_TRUE(Released("Released", &exe));
  ExpectRanAsReleased(exe, RunPinned(exe, 2468), 2468);
}

TEST_F(PinnedPackageTest, PackageFilesCannotBeChangedWhileItRuns) {
  std::string exe;
  ASSERT_TRUE(Released("Locked", &exe));
  const Outcome run = RunPinned(exe, 11);
  SCOPED_TRACE("records:\n" + Describe(run.pinned));
  EXPECT_EQ(run.Code(), 11);
  // ERROR_SHARING_VIOLATION; access denied would do as well.
  const std::vector<std::string> refused = {"32", "5"};
  // Renaming the folder that holds the package: Windows refuses it while a
  // file in it is open; Wine lets the folder go (PinnedPackage.cpp renames
  // it back at once), so there the attempt succeeds: error 0.
  const std::vector<std::string> folderRefused =
      RunningUnderWine() ? std::vector<std::string>{"0"} : refused;
  const struct {
    const char* attempt;
    const std::vector<std::string>& errors;
  } rows[] = {
      {"write-library", refused},
      {"rename-library", refused},
      {"delete-data", refused},
      {"rename-folder", folderRefused},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.attempt);
    const auto found = run.pinned.find(row.attempt);
    ASSERT_TRUE(found != run.pinned.end() && found->second.size() == 1) << "not recorded once";
    bool expected = false;
    for (const std::string& error : row.errors) expected |= found->second[0] == error;
    EXPECT_TRUE(expected) << "error " << found->second[0] << ", expected " << row.errors[0];
  }
  const std::string app = FolderOf(exe);
  EXPECT_TRUE(Exists(JoinPath(app, kLibraryName)));
  EXPECT_TRUE(Exists(JoinPath(app, "drivers\\net.inf")));
}

TEST_F(PinnedPackageTest, ChangedPackageIsRefusedBeforeAnythingRuns) {
  const struct {
    const char* attack;
    std::function<testing::AssertionResult(const std::string& app)> spoil;
  } rows[] = {
      {"dropnestlib.dll replaced",
       [](const std::string& app) {
         return CopyOneFile(TestLibrary(kRecording), JoinPath(app, kLibraryName));
       }},
      {"a companion replaced",
       [](const std::string& app) {
         return CopyOneFile(TestLibrary(kPlanted), JoinPath(app, kStaticCompanion));
       }},
      {"the bare-name companion replaced",
       [](const std::string& app) {
         return CopyOneFile(TestLibrary(kPlanted), JoinPath(app, kCompanion));
       }},
      {"a data file changed",
       [](const std::string& app) {
         return AppendBytes(JoinPath(app, "drivers\\net.inf"), "; changed\r\n");
       }},
      // Only the digest tells this one: the size is as pinned.
      {"a data file changed, its size kept",
       [](const std::string& app) {
         const std::string inf = JoinPath(app, "drivers\\net.inf");
         std::string bytes;
         if (!ReadBytes(inf, &bytes) || bytes.empty()) {
           return testing::AssertionFailure() << "cannot read " << inf;
         }
         bytes[0] = bytes[0] == '[' ? ';' : '[';
         return WriteBytes(inf, bytes);
       }},
      {"a pinned file missing",
       [](const std::string& app) { return RemovePath(JoinPath(app, kCompanion)); }},
  };
  int number = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.attack);
    std::string exe;
    ASSERT_TRUE(Released("Attack-" + std::to_string(number++), &exe));
    ASSERT_TRUE(row.spoil(FolderOf(exe)));
    const Outcome run = RunPinned(exe, 99);
    EXPECT_TRUE(run.pinned.empty()) << "the attacker's code ran:\n" << Describe(run.pinned);
    EXPECT_EQ(run.Code(), kPackageRefused);
  }
}

TEST_F(PinnedPackageTest, PlantedLibrariesAreNeverLoaded) {
  // Kept out on Windows and under Wine alike: a pinned setup.exe searches
  // the system folder alone for everything it does not load by full path.
  const struct {
    const char* what;
    const char* name;  // of the planted copy
  } rows[] = {
      {"the system stand-in's name, for the static import", kSystemStandIn},
      {"a system DLL the library loads by bare name at run time", kLateStandIn},
      {"a system DLL setup.exe loads at run time", "bcrypt.dll"},
      {"a system DLL loaded on the loader's behalf", "cryptbase.dll"},
      {"an unknown name", "e2e-unknown.dll"},
  };
  int number = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("planted: ") + row.what);
    std::string exe;
    ASSERT_TRUE(Released("Planted-" + std::to_string(number++), &exe));
    ASSERT_TRUE(CopyOneFile(TestLibrary(kPlanted), JoinPath(FolderOf(exe), row.name)));
    ExpectRanAsReleased(exe, RunPinned(exe, 4242), 4242);
  }
}

}  // namespace
}  // namespace e2e
