#ifndef PLATFORM_WIN32_KERNELFUNCTION_H_
#define PLATFORM_WIN32_KERNELFUNCTION_H_

#include <windows.h>

// The loader's search flags, named here for headers that predate them.
#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_USER_DIRS
#define LOAD_LIBRARY_SEARCH_USER_DIRS 0x00000400
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace platform {
namespace win32 {

// KernelFunction: the kernel32 export `name` as a pointer of type `F`, or
// null where this Windows lacks it. Functions that older systems lack are
// looked up this way instead of imported: a static import of a missing one
// would keep the program from starting at all.
template <typename F>
F KernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// The search that RestrictLibrarySearch sets for the unpinned program: its
// own folder and the system folder.
constexpr DWORD kSafeSearch = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

}  // namespace win32
}  // namespace platform

#endif  // PLATFORM_WIN32_KERNELFUNCTION_H_
