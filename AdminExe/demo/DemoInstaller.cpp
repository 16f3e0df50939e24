// A demonstration installer library: the smallest "dropnestlib.dll" that
// setup.exe can start, and a template for a real one. It installs nothing;
// it writes down what it was handed.
//
// PreInstall appends one line to "dropnest-demo.log" in the folder of this
// library:
//   PreInstall received <n> bytes: [<text>]
// where <n> is the length of the text and the brackets enclose it exactly
// (so that leading and trailing blanks show). Its result becomes setup.exe's
// exit code; as PreInstall.h advises, neither value is 0, the code that
// setup.exe ends with when it finds no library or no PreInstall:
//   1  the line was written;
//   2  the log file could not be opened or written.
#include <windows.h>

#include <cstring>

#include "AdminExe/PreInstall.h"

// The linker's symbol for this library's own base address: the module
// handle without a DllMain to catch it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr char kLogName[] = "dropnest-demo.log";

constexpr int kLogged = 1;
constexpr int kNotLogged = 2;

// The log's path: this library's folder and kLogName. False when it does not
// fit a path buffer.
bool LogPath(char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char* slash = std::strrchr(path, '\\');
  const size_t folder = slash != nullptr ? static_cast<size_t>(slash - path) + 1 : 0;
  if (folder + sizeof kLogName > MAX_PATH) return false;
  std::memcpy(path + folder, kLogName, sizeof kLogName);
  return true;
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) int PREINSTALL_CALL PreInstall(const char* commandLine) {
  char path[MAX_PATH];
  if (!LogPath(path)) return kNotLogged;
  // FILE_APPEND_DATA alone: every write lands at the end, even if two
  // setup.exe processes were to log at once.
  HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return kNotLogged;
  const char* text = commandLine != nullptr ? commandLine : "";
  const size_t length = std::strlen(text);
  char head[64];
  const int headLength =
      wsprintfA(head, "PreInstall received %lu bytes: [", static_cast<unsigned long>(length));
  const bool written = WriteAll(log, head, static_cast<size_t>(headLength)) &&
                       WriteAll(log, text, length) && WriteAll(log, "]\r\n", 3);
  CloseHandle(log);
  return written ? kLogged : kNotLogged;
}
