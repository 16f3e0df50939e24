// What the end-to-end tests run, found beside the test program itself so
// that its folder can be copied to a Windows machine as it is:
//   setup.exe, setup-debug.exe    the launchers under test
//   demo-dropnestlib.dll          the demo installer library
//   e2e-*.dll                     the test libraries
//   pinned-release\               a release pinned to its package
// Options after GoogleTest's own replace some of them:
//   --setup=PATH --setup-debug=PATH --pinned-release=DIR
#ifndef TESTS_E2E_HARNESS_INPUTS_H_
#define TESTS_E2E_HARNESS_INPUTS_H_

#include <string>
#include <vector>

namespace e2e {

struct Inputs {
  std::string folder;  // the test program's own folder
  std::string setup;
  std::string setupDebug;
  std::string demoLibrary;
  std::string pinnedRelease;
  // Given with --pinned-release: then it must be there.
  bool pinnedReleaseGiven = false;
};

const Inputs& GetInputs();

// Reads the options that GoogleTest left in argv (after InitGoogleTest).
// False, with the reason in *error, for anything else.
bool ParseInputOptions(int argc, char** argv, std::string* error);

// The test library `name` (e2e-recording.dll, ...) beside the program.
std::string TestLibrary(const std::string& name);

// Every input that must be there and is not (the pinned release may be
// missing: its tests skip).
std::vector<std::string> MissingInputs();

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_INPUTS_H_
