// Win32 side of platform/DynamicLibrary.h: only code that calls the Windows API belongs here.
#include "platform/DynamicLibrary.h"

#include <windows.h>

#include <cstring>

#include "platform/Process.h"
#include "platform/win32/KernelFunction.h"

namespace platform {
namespace {

// Whether the loader takes the LOAD_LIBRARY_SEARCH_* flags: asked once, the
// way Microsoft advises (the update that brought the flags brought
// AddDllDirectory), rather than learnt from a failed load. One thread, so a
// plain variable serves.
enum class SafeSearch { kUnknown, kSupported, kMissing };
SafeSearch safeSearch = SafeSearch::kUnknown;

bool HasSafeSearch() {
  if (safeSearch == SafeSearch::kUnknown) {
    safeSearch = win32::KernelFunction<FARPROC>("AddDllDirectory") != nullptr
                     ? SafeSearch::kSupported
                     : SafeSearch::kMissing;
  }
  return safeSearch == SafeSearch::kSupported;
}

bool HasDirectory(const char* name) {
  return std::strchr(name, '\\') != nullptr || std::strchr(name, '/') != nullptr ||
         std::strchr(name, ':') != nullptr;
}

// Joins `folder` (`folderLength` characters) and `name` into `path`; false
// when the result would not fit, so that a cut path is never loaded.
bool JoinPath(const char* folder, size_t folderLength, const char* name, char (&path)[MAX_PATH]) {
  const size_t nameLength = std::strlen(name);
  const bool slash = folderLength > 0 && folder[folderLength - 1] != '\\';
  if (folderLength + (slash ? 1 : 0) + nameLength + 1 > sizeof path) return false;
  std::memmove(path, folder, folderLength);
  if (slash) path[folderLength++] = '\\';
  std::memcpy(path + folderLength, name, nameLength + 1);
  return true;
}

// Without the safe flags: exactly the named file, made absolute first
// (LOAD_WITH_ALTERED_SEARCH_PATH is undefined for relative paths). Its own
// dependencies are then looked for beside it first.
HMODULE LoadExactFile(const char* name) {
  char path[MAX_PATH];
  const DWORD length = GetFullPathNameA(name, sizeof path, path, nullptr);
  if (length == 0 || length >= sizeof path) return nullptr;
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Without the safe flags: the program's own folder, named explicitly, so
// that the current directory and PATH are still never searched.
HMODULE LoadFromProgramFolder(const char* name) {
  char path[MAX_PATH];
  const uint32_t length = ModulePath(path, sizeof path);
  if (length == 0) return nullptr;
  const char* slash = std::strrchr(path, '\\');
  if (slash == nullptr) return nullptr;
  char joined[MAX_PATH];
  if (!JoinPath(path, static_cast<size_t>(slash - path), name, joined)) return nullptr;
  return LoadLibraryExA(joined, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

int SetDefaultSearch(DWORD flags) {
  const auto setDefault =
      win32::KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(flags)) return 1;
  // The older systems' only lever: it takes the current directory out of
  // the search, though PATH stays in it.
  SetDllDirectoryA("");
  return 0;
}

}  // namespace

LibraryHandle LoadSystemLibrary(const char* name) {
  if (HasSafeSearch()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  char path[MAX_PATH];
  if (length == 0 || length >= sizeof folder || !JoinPath(folder, length, name, path)) {
    return nullptr;
  }
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

int RestrictLibrarySearch() { return SetDefaultSearch(win32::kSafeSearch); }

int RestrictLibrarySearchToSystemFolder() { return SetDefaultSearch(LOAD_LIBRARY_SEARCH_SYSTEM32); }

LibraryHandle LoadLibraryAlone(const char* path) {
  // The process's default search (the system folder alone, see above) also
  // serves the library's imports; LOAD_WITH_ALTERED_SEARCH_PATH or the
  // application-folder flag would let its own folder in.
  return LoadLibraryExA(path, nullptr, HasSafeSearch() ? LOAD_LIBRARY_SEARCH_SYSTEM32 : 0);
}

LibraryHandle LoadLibraryFile(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  HMODULE module = nullptr;
  if (HasSafeSearch()) {
    module = LoadLibraryExA(name, nullptr, win32::kSafeSearch);
  } else if (HasDirectory(name)) {
    module = LoadExactFile(name);
  } else {
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
  using LoadStringFunction = int(WINAPI*)(HINSTANCE, UINT, LPSTR, int);
  HMODULE user32 = reinterpret_cast<HMODULE>(LoadSystemLibrary("user32.dll"));
  if (user32 == nullptr) return 0;
  const auto loadString = reinterpret_cast<LoadStringFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "LoadStringA")));
  const int copied =
      loadString != nullptr ? loadString(reinterpret_cast<HMODULE>(library), id, buffer, size) : 0;
  // The text is copied out: the library may go again (the system keeps it
  // loaded as long as anything else uses it).
  FreeLibrary(user32);
  return copied;
}

void AssumeNoSafeSearchForTesting(int assume) {
  safeSearch = assume != 0 ? SafeSearch::kMissing : SafeSearch::kUnknown;
}

}  // namespace platform
