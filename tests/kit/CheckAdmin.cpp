// check-admin.exe: whether the test kit runs with administrator rights.
// Exits 0 when this process's token is elevated; otherwise says how to get
// them and exits 1. The kit's end-to-end tests start setup.exe, whose
// manifest requires administrator rights: from a normal Command Prompt
// every start would fail with ERROR_ELEVATION_REQUIRED, which is better
// said once, first.
#include <windows.h>

#include <cstdio>

namespace {

// 1 elevated, 0 not, -1 unknown (with the error in *error).
int IsElevated(DWORD* error) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    *error = GetLastError();
    return -1;
  }
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  const BOOL known =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  *error = known ? 0 : GetLastError();
  CloseHandle(token);
  if (!known) return -1;
  return elevation.TokenIsElevated != 0 ? 1 : 0;
}

}  // namespace

int main() {
  DWORD error = 0;
  const int elevated = IsElevated(&error);
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
