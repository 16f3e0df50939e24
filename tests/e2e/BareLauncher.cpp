// bare-launcher.exe: the least a launcher can do, as the yardstick of
// setup.exe's start-up time (tools/bench-startup.py): a GUI program that
// loads dropnestlib.dll from its own folder, calls PreInstall once with an
// empty text and exits with its result. Built with setup.exe's compile and
// link options, importing only KERNEL32 and msvcrt.
#include <windows.h>

#include "AdminExe/PreInstall.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HMODULE library =
      LoadLibraryExA(PREINSTALL_LIBRARY_NAME, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  if (library == nullptr) return 0;
  const auto entry = reinterpret_cast<PreInstallEntry>(
      reinterpret_cast<void*>(GetProcAddress(library, PREINSTALL_ENTRY_NAME)));
  const int result = entry != nullptr ? entry("") : 0;
  FreeLibrary(library);
  return result;
}
