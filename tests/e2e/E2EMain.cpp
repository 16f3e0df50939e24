// setup-e2e-tests.exe: the end-to-end tests of setup.exe and setup-debug.exe,
// on Windows (from an administrator Command Prompt) and under Wine alike.
//
//   setup-e2e-tests.exe [GoogleTest options] [--setup=PATH]
//                       [--setup-debug=PATH] [--pinned-release=DIR]
//
// Without the options it takes setup.exe, setup-debug.exe and
// pinned-release\ from beside itself (harness/Inputs.h); the release test
// points them at a signed release.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/Preconditions.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string error;
  if (!e2e::ParseInputOptions(argc, argv, &error)) {
    std::fprintf(stderr,
                 "setup-e2e-tests: %s\nusage: setup-e2e-tests.exe [GoogleTest options] "
                 "[--setup=PATH] [--setup-debug=PATH] [--pinned-release=DIR]\n",
                 error.c_str());
    return 2;
  }
  testing::AddGlobalTestEnvironment(new e2e::Preconditions);
  return RUN_ALL_TESTS();
}
