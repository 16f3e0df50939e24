// Win32 side of platform/CodePage.h: only code that calls the Windows API belongs here.
#include "platform/CodePage.h"

#include <windows.h>

namespace platform {

int MultiByteToWide(unsigned codePage, const char* source, char16_t* out, int outUnits) {
  // A size of 0 would make the system measure instead of convert.
  if (out != nullptr && outUnits <= 0) return 0;
  // WCHAR is 16 bits on Windows, so a char16_t buffer is a WCHAR buffer.
  return MultiByteToWideChar(codePage, 0, source, -1, reinterpret_cast<LPWSTR>(out),
                             out != nullptr ? outUnits : 0);
}

int WideToMultiByte(unsigned codePage, const char16_t* source, char* out, int outBytes) {
  if (out != nullptr && outBytes <= 0) return 0;
  return WideCharToMultiByte(codePage, 0, reinterpret_cast<LPCWSTR>(source), -1, out,
                             out != nullptr ? outBytes : 0, nullptr, nullptr);
}

unsigned AnsiCodePage() { return GetACP(); }

}  // namespace platform
