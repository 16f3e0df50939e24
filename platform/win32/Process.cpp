// Win32 side of platform/Process.h: only code that calls the Windows API belongs here.
#include "platform/Process.h"

#include <windows.h>

#include "platform/win32/KernelFunction.h"

namespace platform {

const char* CommandLine() {
  const char* line = GetCommandLineA();
  return line != nullptr ? line : "";
}

uint32_t ModulePath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  // A result equal to the buffer size means the path was cut (and, on older
  // systems, left without a terminator).
  const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  if (length == 0 || length >= size) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
}

void TerminateOnHeapCorruption() {
  using HeapSetInformationFunction = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
  // Looked up, not imported: systems before Windows XP lack it.
  const auto setInformation =
      win32::KernelFunction<HeapSetInformationFunction>("HeapSetInformation");
  if (setInformation != nullptr) {
    setInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  }
}

}  // namespace platform
