// Win32 side of platform/DebugLibrary.h: only code that calls the Windows API belongs here.
#include "platform/DebugLibrary.h"

#include <windows.h>

#include "platform/win32/KernelFunction.h"

namespace platform {

LibraryHandle LoadLibraryWithFolder(const char* path, const char* folder) {
  using AddFunction = void*(WINAPI*)(const wchar_t*);
  using RemoveFunction = BOOL(WINAPI*)(void*);
  using SetDefaultFunction = BOOL(WINAPI*)(DWORD);
  const auto add = win32::KernelFunction<AddFunction>("AddDllDirectory");
  const auto remove = win32::KernelFunction<RemoveFunction>("RemoveDllDirectory");
  const auto setDefault = win32::KernelFunction<SetDefaultFunction>("SetDefaultDllDirectories");
  wchar_t wide[MAX_PATH];
  void* cookie = nullptr;
  if (add != nullptr && remove != nullptr && setDefault != nullptr &&
      MultiByteToWideChar(CP_ACP, 0, folder, -1, wide, MAX_PATH) != 0) {
    cookie = add(wide);
  }
  if (cookie == nullptr) return LoadLibraryFile(path);
  // The flag serves the library's static imports; the process's default
  // search, its later loads by bare name. Only setup-debug.exe gets here.
  constexpr DWORD kWithFolder = win32::kSafeSearch | LOAD_LIBRARY_SEARCH_USER_DIRS;
  setDefault(kWithFolder);
  HMODULE module = LoadLibraryExA(path, nullptr, kWithFolder);
  if (module == nullptr) {
    const DWORD error = GetLastError();
    setDefault(win32::kSafeSearch);
    remove(cookie);
    SetLastError(error);
  }
  return reinterpret_cast<LibraryHandle>(module);
}

uint32_t LoadErrorText(char* text, int size) {
  const DWORD error = GetLastError();
  if (size <= 0) return error;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, error, 0, text, static_cast<DWORD>(size), nullptr);
  while (length > 0 &&
         (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n')) {
    --length;
  }
  text[length] = '\0';
  return error;
}

int ExportNames(LibraryHandle library, int (*visit)(const char* name, void* context),
                void* context) {
  if (library == nullptr) return 0;
  // A loaded module's handle is its image's address.
  const auto* base = static_cast<const unsigned char*>(library);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0 || directory.Size == 0) return 0;
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const int stop = visit(reinterpret_cast<const char*>(base + names[i]), context);
    if (stop != 0) return stop;
  }
  return 0;
}

}  // namespace platform
