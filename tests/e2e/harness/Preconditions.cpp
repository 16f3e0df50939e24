#include "tests/e2e/harness/Preconditions.h"

#include <string>
#include <vector>

#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/System.h"

namespace e2e {

void Preconditions::SetUp() {
  const std::vector<std::string> missing = MissingInputs();
  if (!missing.empty()) {
    std::string list;
    for (const std::string& path : missing) list += "\n  " + path;
    GTEST_FAIL() << "missing beside the test program (or where the options point):" << list
                 << "\nsetup-e2e-tests.exe needs setup.exe, setup-debug.exe, "
                    "demo-dropnestlib.dll and the e2e-*.dll libraries in its own folder.";
  }
  // setup.exe's manifest requires administrator rights: without them every
  // start fails with ERROR_ELEVATION_REQUIRED, which is better said once.
  // Wine grants every program administrator rights (AdministratorTest).
  if (!RunningUnderWine()) {
    unsigned long error = 0;
    const int elevated = IsElevated(&error);
    if (elevated != 1) {
      GTEST_FAIL() << (elevated == 0 ? "this program does not run with administrator rights"
                                     : "cannot tell whether this program runs with "
                                       "administrator rights: error " +
                                           std::to_string(error))
                   << ".\nsetup.exe asks for them: run setup-e2e-tests.exe from an "
                      "administrator Command Prompt (Start, type cmd, right-click "
                      "\"Command Prompt\", \"Run as administrator\").";
    }
  }
}

}  // namespace e2e
