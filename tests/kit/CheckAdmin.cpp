// check-admin.exe: whether the test kit runs with administrator rights.
// Exits 0 when this process's token is elevated; otherwise says how to get
// them and exits 1. The kit's end-to-end tests start setup.exe, whose
// manifest requires administrator rights: from a normal Command Prompt
// every start would fail with ERROR_ELEVATION_REQUIRED, which is better
// said once, first.
#include <cstdio>

#include "tests/e2e/harness/System.h"

int main() {
  unsigned long error = 0;
  const int elevated = e2e::IsElevated(&error);
  if (elevated == 1) {
    std::printf("Administrator rights: yes\n");
    return 0;
  }
  if (elevated < 0) {
    std::printf("Administrator rights: cannot tell (error %lu)\n", error);
  } else {
    std::printf("Administrator rights: no\n");
  }
  std::printf(
      "\n"
      "These tests start setup.exe, which asks for administrator rights.\n"
      "Run them from an administrator Command Prompt:\n"
      "  1. Open the Start menu and type cmd.\n"
      "  2. Right-click \"Command Prompt\" and choose \"Run as administrator\";\n"
      "     answer Yes when Windows asks.\n"
      "  3. In that window: cd /d \"<this folder>\" and then run-tests.cmd\n");
  return 1;
}
