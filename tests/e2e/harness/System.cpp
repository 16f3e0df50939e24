#include "tests/e2e/harness/System.h"

#include <windows.h>

namespace e2e {

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int IsElevated(unsigned long* error) {
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

std::string SystemFolder() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

std::vector<std::string> SystemFolderNames() {
  std::vector<std::string> names;
  const std::string system = SystemFolder();
  if (!system.empty()) names.push_back(system);
  char folder[MAX_PATH];
  // Fails on a 32-bit system, which has no SysWOW64.
  const UINT length = GetSystemWow64DirectoryA(folder, sizeof folder);
  if (length > 0 && length < sizeof folder) names.emplace_back(folder, length);
  return names;
}

std::string SystemDrive() {
  char drive[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("SystemDrive", drive, sizeof drive);
  return length > 0 && length < sizeof drive ? std::string(drive, length) : std::string("C:");
}

std::string ErrorText(unsigned long error) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    --length;
  }
  return length > 0 ? std::string(text, length) : std::string("no message");
}

}  // namespace e2e
