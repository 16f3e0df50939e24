// POSIX side of platform/DynamicLibrary.h: only code that calls dlopen and its kin belongs here.
#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/Process.h"
#include "platform/posix/NativePath.h"

namespace platform {
namespace {

bool HasDirectory(const char* name) {
  return std::strchr(name, '/') != nullptr || std::strchr(name, '\\') != nullptr;
}

// A bare name is looked for in the program's own folder only: dlopen of a
// bare name would consult LD_LIBRARY_PATH, the counterpart of PATH.
std::string InProgramFolder(const char* name) {
  char path[4096];
  if (ModulePath(path, sizeof path) == 0) return std::string();
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return std::string();
  return std::string(path, static_cast<size_t>(slash - path) + 1) + name;
}

}  // namespace

int RestrictLibrarySearch() { return 1; }

int RestrictLibrarySearchToSystemFolder() { return 1; }

LibraryHandle LoadLibraryAlone(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  return dlopen(NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

LibraryHandle LoadSystemLibrary(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

LibraryHandle LoadLibraryFile(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  const std::string path = HasDirectory(name) ? NativePath(name) : InProgramFolder(name);
  if (path.empty()) return nullptr;
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void FreeLibraryHandle(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

void* FindExport(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

int LoadStringResource(LibraryHandle, unsigned, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  return 0;
}

void AssumeNoSafeSearchForTesting(int) {}

}  // namespace platform
