// Where setup.exe and setup-debug.exe look for the installer library and
// what it loads: beside the program and in the system folder only, never
// the current directory or PATH; nothing to call gives exit code 0.
#include <string>

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/LauncherTest.h"
#include "tests/e2e/harness/Records.h"
#include "tests/e2e/harness/System.h"
#include "tests/e2e/harness/SystemFolderFile.h"

namespace e2e {
namespace {

const Launcher kLaunchers[] = {Launcher::kSetup, Launcher::kSetupDebug};

// setup-debug.exe looks into C:\OvratDebug first: every test here that runs
// it claims that folder.
class MissingEntryTest : public LauncherTest {
 protected:
  MissingEntryTest() : LauncherTest(kUsesDebugFolder) {}
};

TEST_F(MissingEntryTest, NothingToCallGivesZero) {
  const struct {
    const char* name;
    const char* variant;  // null: no library at all
  } rows[] = {
      {"no library", nullptr},
      {"library without the export", kNoExport},
      {"library exporting only \"preinstall\"", kLowercase},
  };
  for (const Launcher launcher : kLaunchers) {
    int number = 0;
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(FileName(launcher)) + ", " + row.name);
      const std::string app =
          Folder(std::string(FileName(launcher)) + "-" + std::to_string(number++));
      const std::string exe = PutLauncher(app, launcher);
      if (row.variant != nullptr) PutLibrary(app, row.variant);
      // A called entry would record and return 77.
      const Outcome run = RunProgram(Request(exe, 77));
      EXPECT_EQ(run.records.size(), 0u) << Describe(run.records);
      EXPECT_EQ(run.Code(), 0);
    }
  }
}

class PlantedLibraryTest : public LauncherTest {
 protected:
  PlantedLibraryTest() : LauncherTest(kUsesDebugFolder) {}
};

TEST_F(PlantedLibraryTest, PlantedLibraryIsIgnored) {
  const std::string plant = Folder("Plant");
  const std::string planted = PutLibrary(plant);
  const std::string empty = Folder("Empty");
  ASSERT_FALSE(HasFailure());
  for (const Launcher launcher : kLaunchers) {
    for (const bool onPath : {false, true}) {
      for (const bool withBeside : {false, true}) {
        SCOPED_TRACE(std::string(FileName(launcher)) + ", planted " +
                     (onPath ? "on PATH" : "in the current directory") +
                     (withBeside ? ", a library beside the program" : ", none beside"));
        const std::string app = Folder(std::string("App-") + FileName(launcher) + "-" +
                                       (onPath ? "PATH" : "cwd") + "-" + (withBeside ? "1" : "0"));
        const std::string exe = PutLauncher(app, launcher);
        const std::string beside = withBeside ? PutLibrary(app) : std::string();
        LaunchRequest request = Request(exe, 55);
        request.currentDirectory = onPath ? empty : plant;
        if (onPath) request.pathPrepend = plant;
        const Outcome run = RunProgram(request);
        if (withBeside) {
          EXPECT_TRUE(LoadedOnce(run.records, beside, "/test"));
          EXPECT_EQ(run.Code(), 55);
        } else {
          EXPECT_EQ(run.records.size(), 0u) << "loaded the planted " << planted << "\n"
                                            << Describe(run.records);
          EXPECT_EQ(run.Code(), 0);
        }
      }
    }
  }
}

// A DLL planted beside an unpinned setup.exe under the name of a system DLL
// that the installer library imports (the stand-in, which also sits in the
// system folder, as a real system DLL would).
//
// Windows and Wine differ here. On Windows, setup.exe's image-load policy
// PreferSystem32Images makes the loader take the system folder's copy
// first: the planted one never loads. Wine accepts that policy and ignores
// it (SetProcessMitigationPolicy is a stub there), so the copy beside the
// program, first in the search, loads: its "planted" record is expected.
// A pinned setup.exe keeps it out in both (PinnedPackageTest).
TEST_F(PlantedLibraryTest, SystemDllNameBesideAnUnpinnedProgram) {
  SystemFolderFile standIn;
  ASSERT_TRUE(standIn.Put(TestLibrary(kSystemStandIn), kSystemStandIn));
  const std::string app = Folder("App");
  const std::string exe = PutLauncher(app);
  const std::string library = PutLibrary(app, kPinnedLibrary);
  PutLibrary(app, kStaticCompanion, kStaticCompanion);
  PutLibrary(app, kRecording, kCompanion);
  const std::string planted = PutLibrary(app, kPlanted, kSystemStandIn);
  ASSERT_FALSE(HasFailure());

  const Outcome run =
      RunProgram(Request(exe, 5150, "\"" + exe + "\" /unpinned"), Records::kKeyValue);
  SCOPED_TRACE("records:\n" + Describe(run.pinned));
  EXPECT_EQ(run.Code(), 5150);
  const auto one = [&](const char* key) {
    const auto found = run.pinned.find(key);
    return found != run.pinned.end() && found->second.size() == 1 ? found->second[0]
                                                                  : std::string("(not once)");
  };
  EXPECT_PRED2(SamePath, one("library"), library);
  EXPECT_PRED2(SamePath, one("static-companion"), JoinPath(app, kStaticCompanion));
  EXPECT_PRED2(SamePath, one("bare-companion"), JoinPath(app, kCompanion));
  if (RunningUnderWine()) {
    EXPECT_PRED2(SamePath, one("planted"), planted);
    EXPECT_PRED2(SamePath, one("system-standin"), planted);
  } else {
    EXPECT_EQ(run.pinned.count("planted"), 0u);
    bool fromSystemFolder = false;
    for (const std::string& folder : SystemFolderNames()) {
      fromSystemFolder |= SamePath(one("system-standin"), JoinPath(folder, kSystemStandIn));
    }
    EXPECT_TRUE(fromSystemFolder) << "the stand-in came from " << one("system-standin");
  }
}

class CompanionLibraryTest : public LauncherTest {
 protected:
  CompanionLibraryTest() : LauncherTest(kUsesDebugFolder) {}
};

// What the installer library loads by bare name comes from setup.exe's own
// folder (or the system folder): a companion planted only in the current
// directory or only in a folder on PATH is never loaded.
TEST_F(CompanionLibraryTest, CompanionFoundOnlyBesideTheProgram) {
  const std::string plant = Folder("Plant");
  PutLibrary(plant, kRecording, kCompanion);
  const std::string empty = Folder("Empty");
  ASSERT_FALSE(HasFailure());
  const struct {
    const char* where;
    bool beside;
    std::string currentDirectory;
    std::string pathPrepend;
  } rows[] = {
      {"beside setup.exe", true, empty, ""},
      {"current directory only", false, plant, ""},
      {"PATH only", false, empty, plant},
  };
  for (const Launcher launcher : kLaunchers) {
    int number = 0;
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(FileName(launcher)) + ", companion " + row.where);
      const std::string app =
          Folder(std::string("App-") + FileName(launcher) + "-" + std::to_string(number++));
      const std::string exe = PutLauncher(app, launcher);
      PutLibrary(app, kCompanionLoader);
      const std::string beside = row.beside ? PutLibrary(app, kRecording, kCompanion) : "";
      LaunchRequest request = Request(exe, 66);
      request.currentDirectory = row.currentDirectory;
      request.pathPrepend = row.pathPrepend;
      const Outcome run = RunProgram(request);
      if (row.beside) {
        EXPECT_TRUE(LoadedOnce(run.records, beside, "/test"));
        EXPECT_EQ(run.Code(), 66);
      } else {
        EXPECT_EQ(run.records.size(), 0u) << "loaded the planted companion\n"
                                          << Describe(run.records);
        EXPECT_EQ(run.Code(), kNoCompanion);
      }
    }
  }
}

}  // namespace
}  // namespace e2e
