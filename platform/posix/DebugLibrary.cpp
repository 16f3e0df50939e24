// POSIX side of platform/DebugLibrary.h: only code that calls dlopen and its kin belongs here.
#include "platform/DebugLibrary.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>

namespace platform {

LibraryHandle LoadLibraryWithFolder(const char* path, const char*) { return LoadLibraryFile(path); }

uint32_t LoadErrorText(char* text, int size) {
  if (size <= 0) return 0;
  const char* message = dlerror();
  if (message == nullptr) message = "";
  const size_t length = std::min(std::strlen(message), static_cast<size_t>(size) - 1);
  std::memcpy(text, message, length);
  text[length] = '\0';
  return 0;
}

int ExportNames(LibraryHandle library, int (*visit)(const char* name, void* context),
                void* context) {
  struct link_map* map = nullptr;
  if (library == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return 0;
  const char* strings = nullptr;
  size_t size = 0;
  for (const ElfW(Dyn)* entry = map->l_ld; entry->d_tag != DT_NULL; ++entry) {
    if (entry->d_tag == DT_STRTAB) strings = reinterpret_cast<const char*>(entry->d_un.d_ptr);
    if (entry->d_tag == DT_STRSZ) size = entry->d_un.d_val;
  }
  if (strings == nullptr) return 0;
  // glibc relocates the table's address in place; other loaders leave it
  // relative to where the library was loaded.
  if (reinterpret_cast<ElfW(Addr)>(strings) < map->l_addr) strings += map->l_addr;
  for (size_t at = 0; at < size; at += std::strlen(strings + at) + 1) {
    if (strings[at] == '\0') continue;
    const int stop = visit(strings + at, context);
    if (stop != 0) return stop;
  }
  return 0;
}

}  // namespace platform
