// The libraries of the pinned-package end-to-end tests (PinnedPackageTest.cpp
// and one row of LibrarySearchTest.cpp), one source in roles chosen by
// PINNED_ROLE:
//  - 1, the installer library: imports e2e-static-companion.dll (a companion
//    of the package) and e2e-system-standin.dll (which stands for a system
//    DLL that Wine has no built-in of) statically, and loads e2e-companion.dll
//    by bare name. Its PreInstall records where each of them was loaded
//    from, then tries to write, rename and delete the package's files and to
//    rename the folder holding them, and records the errors; it returns
//    SETUP_TEST_RESULT;
//  - 2, the static companion; 3, the system stand-in: an export each;
//  - 4, an attacker's library: records "planted=<its path>" as soon as it is
//    loaded (from DllMain), and exports what the stand-in and the static
//    companion export, so that it would satisfy their imports.
// Records go to the file SETUP_TEST_RECORD names, one "key=value" a line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AdminExe/PreInstall.h"

#ifndef PINNED_ROLE
#error "define PINNED_ROLE"
#endif

#define PINNED_EXPORT extern "C" __declspec(dllexport)

#if PINNED_ROLE == 1 || PINNED_ROLE == 4
namespace {

void Record(const char* key, const char* value) {
  const char* record = std::getenv("SETUP_TEST_RECORD");
  if (record == nullptr || *record == '\0') return;
  FILE* out = std::fopen(record, "ab");
  if (out == nullptr) return;
  std::fprintf(out, "%s=%s\n", key, value);
  std::fclose(out);
}

// The path of the module holding `address`; "none" for a null one.
void ModuleOf(const void* address, char (&path)[MAX_PATH]) {
  HMODULE module = nullptr;
  std::snprintf(path, sizeof path, "none");
  if (address != nullptr && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                               static_cast<const char*>(address), &module)) {
    GetModuleFileNameA(module, path, sizeof path);
  }
}

}  // namespace
#endif

#if PINNED_ROLE == 1
extern "C" __declspec(dllimport) int StaticCompanionMarker();
extern "C" __declspec(dllimport) int SystemStandInMarker();

namespace {

// Records the error of an attempt: 0 when it succeeded (which it must not).
void RecordError(const char* key, BOOL succeeded) {
  char value[16];
  std::snprintf(value, sizeof value, "%lu", succeeded ? 0UL : GetLastError());
  Record(key, value);
}

// Loads `name` by bare name, as installer libraries do, and records the
// path of the module that answered (where `exported` lives); "none" when
// the search found nothing.
void RecordBareLoad(const char* key, const char* name, const char* exported) {
  HMODULE module = LoadLibraryA(name);
  char path[MAX_PATH];
  ModuleOf(
      module != nullptr ? reinterpret_cast<const void*>(GetProcAddress(module, exported)) : nullptr,
      path);
  Record(key, path);
}

}  // namespace

PINNED_EXPORT int PREINSTALL_CALL PreInstall(const char* commandLine) {
  char path[MAX_PATH];
  ModuleOf(reinterpret_cast<const void*>(&PreInstall), path);
  Record("library", path);
  Record("text", commandLine);
  ModuleOf(reinterpret_cast<const void*>(&StaticCompanionMarker), path);
  Record("static-companion", path);
  ModuleOf(reinterpret_cast<const void*>(&SystemStandInMarker), path);
  Record("system-standin", path);
  RecordBareLoad("bare-companion", "e2e-companion.dll", "PreInstall");
  // A system DLL that nothing has loaded yet, by bare name: only the
  // process's search decides where it comes from (the tests put a copy of
  // the stand-in into the system folder under this name).
  RecordBareLoad("late-standin", "e2e-late-standin.dll", "SystemStandInMarker");

  // The package's files must stay as checked while the package runs.
  char self[MAX_PATH];
  ModuleOf(reinterpret_cast<const void*>(&PreInstall), self);
  HANDLE writer =
      CreateFileA(self, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  RecordError("write-library", writer != INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  char moved[MAX_PATH + 8];
  std::snprintf(moved, sizeof moved, "%s.moved", self);
  RecordError("rename-library", MoveFileA(self, moved));
  char data[MAX_PATH + 32];
  std::snprintf(data, sizeof data, "%s", self);
  char* slash = std::strrchr(data, '\\');
  if (slash != nullptr)
    std::snprintf(slash + 1, sizeof data - (slash + 1 - data), "drivers\\net.inf");
  RecordError("delete-data", DeleteFileA(data));
  // Windows refuses to rename a folder while a file in it is open; Wine
  // does not. Where it succeeds the folder goes back at once, so that the
  // rest of the run and the test's checks find the package where it was.
  char folder[MAX_PATH];
  std::snprintf(folder, sizeof folder, "%s", self);
  slash = std::strrchr(folder, '\\');
  if (slash != nullptr) *slash = '\0';
  char movedFolder[MAX_PATH + 8];
  std::snprintf(movedFolder, sizeof movedFolder, "%s.moved", folder);
  const BOOL folderMoved = MoveFileA(folder, movedFolder);
  RecordError("rename-folder", folderMoved);
  if (folderMoved) MoveFileA(movedFolder, folder);

  const char* result = std::getenv("SETUP_TEST_RESULT");
  return result != nullptr ? static_cast<int>(std::strtol(result, nullptr, 10)) : 0;
}
#endif

#if PINNED_ROLE == 2 || PINNED_ROLE == 4
PINNED_EXPORT int StaticCompanionMarker() { return 2; }
#endif

#if PINNED_ROLE == 3 || PINNED_ROLE == 4
PINNED_EXPORT int SystemStandInMarker() { return 3; }
#endif

#if PINNED_ROLE == 4
namespace {
int Marker() { return 4; }
}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH];
    ModuleOf(reinterpret_cast<const void*>(&Marker), path);
    Record("planted", path);
  }
  return TRUE;
}
#endif
