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

int SetImageLoadPolicy(unsigned flags) {
  // ProcessImageLoadPolicy in PROCESS_MITIGATION_POLICY, whose structure is
  // one DWORD of flags. Looked up: systems before Windows 8 lack the call.
  constexpr int kProcessImageLoadPolicy = 10;
  using SetPolicyFunction = BOOL(WINAPI*)(int, PVOID, SIZE_T);
  const auto setPolicy = win32::KernelFunction<SetPolicyFunction>("SetProcessMitigationPolicy");
  DWORD policy = flags;
  return setPolicy != nullptr && setPolicy(kProcessImageLoadPolicy, &policy, sizeof policy) ? 1 : 0;
}

const unsigned char* OwnDataResource(unsigned id, uint32_t* size) {
  *size = 0;
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (loaded == nullptr) return nullptr;
  *size = SizeofResource(nullptr, found);
  return static_cast<const unsigned char*>(LockResource(loaded));
}

void ReportDebugLine(const char* line) { OutputDebugStringA(line); }

}  // namespace platform
