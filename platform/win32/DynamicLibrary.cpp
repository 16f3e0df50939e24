// Win32 implementation: only code that calls Windows belongs in this folder.
#include "platform/DynamicLibrary.h"

#include <windows.h>

#include <cstring>

#include "platform/Process.h"

#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace platform {
namespace {

bool HasDirectory(const char* name) {
  return std::strchr(name, '\\') != nullptr || std::strchr(name, '/') != nullptr ||
         std::strchr(name, ':') != nullptr;
}

// Systems without the safe search flags answer ERROR_INVALID_PARAMETER. Then
// the program's own folder is named explicitly, so that the current
// directory and PATH are still never searched.
HMODULE LoadFromProgramFolder(const char* name) {
  char path[MAX_PATH];
  const uint32_t length = ModulePath(path, sizeof path);
  if (length == 0) return nullptr;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr) return nullptr;
  const size_t folder = static_cast<size_t>(slash - path) + 1;
  const size_t nameLength = std::strlen(name);
  if (folder + nameLength + 1 > sizeof path) return nullptr;
  std::memcpy(path + folder, name, nameLength + 1);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

LibraryHandle LoadLibraryFile(const char* name) {
  const DWORD safeSearch = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
  HMODULE module = LoadLibraryExA(name, nullptr, safeSearch);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER && !HasDirectory(name)) {
    module = LoadFromProgramFolder(name);
  }
  return reinterpret_cast<LibraryHandle>(module);
}

void FreeLibraryHandle(LibraryHandle library) {
  if (library != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

void* FindExport(LibraryHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

int LoadStringResource(LibraryHandle library, unsigned id, char* buffer, int size) {
  return LoadStringA(reinterpret_cast<HMODULE>(library), id, buffer, size);
}

}  // namespace platform
