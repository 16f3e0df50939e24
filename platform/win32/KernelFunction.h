#ifndef PLATFORM_WIN32_KERNELFUNCTION_H_
#define PLATFORM_WIN32_KERNELFUNCTION_H_

#include <windows.h>

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

}  // namespace win32
}  // namespace platform

#endif  // PLATFORM_WIN32_KERNELFUNCTION_H_
