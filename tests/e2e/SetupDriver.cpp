// setup-driver.exe: starts one Windows program with an exact command line and
// reports its whole 32-bit exit code.
//
// `wine program args` cannot do either: Wine rebuilds the command line from
// its arguments (quoting them its own way, naming the program by its Z:
// path) and hands Linux only the low 8 bits of the exit code. This driver
// runs inside Wine, calls CreateProcessA with the program path and the
// command line exactly as given, and prints what GetExitCodeProcess says.
//
//   setup-driver.exe [options] PROGRAM
//     --command-line TEXT      the child's whole command line, as is
//     --command-line-hex HEX   the same, given as hex bytes (for tabs, quotes
//                              and bytes that do not survive Wine's argument
//                              handling)
//     --command-line-file FILE the same, read from FILE byte for byte (for a
//                              command line too long to pass inside the
//                              driver's own)
//     --cwd DIR                the child's current directory
//     --env NAME=VALUE         set a variable in the child's environment
//                              (repeatable; an empty VALUE removes it)
//     --path-prepend DIR       put DIR first on the child's PATH
//     --timeout SECONDS        give up (and end the child) after this long;
//                              default 60
//     --report-time            also print the child's time from start to exit
//     --debug-output           start the child as a debugger does, and print
//                              what it tells a debugger (OutputDebugStringA,
//                              setup-debug.exe's debug trail), one line
//                              "debug: TEXT" each, and each DLL it loads,
//                              "loaded: PATH", as they come
//
// Output (stdout), last line:  exit code: <signed decimal> (0x<hex>)
// and with --report-time one more:  elapsed: <microseconds> us
// The driver's own exit status is the child's exit code (where it ran to its
// end: a shell sees its low 8 bits, hence the line above); 2 for a usage
// error, 3 when the child could not be started, 4 on a timeout, each with a
// "setup-driver:" message on stderr and no "exit code:" line.
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // GetFinalPathNameByHandleA
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage(const char* message) {
  std::fprintf(stderr, "setup-driver: %s\n", message);
  std::fprintf(stderr,
               "usage: setup-driver.exe [--command-line TEXT | --command-line-hex HEX | "
               "--command-line-file FILE] "
               "[--cwd DIR] [--env NAME=VALUE]... [--path-prepend DIR] [--timeout SECONDS] "
               "PROGRAM\n");
  return 2;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeHex(const char* hex, std::string* out) {
  const size_t length = std::strlen(hex);
  if (length % 2 != 0) return false;
  out->clear();
  for (size_t i = 0; i < length; i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

bool ReadFile(const char* path, std::string* out) {
  FILE* in = std::fopen(path, "rb");
  if (in == nullptr) return false;
  out->clear();
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) out->append(chunk, got);
  const bool ok = std::ferror(in) == 0;
  std::fclose(in);
  return ok;
}

// The child inherits the driver's environment, so changing the driver's own
// is the simplest way to shape the child's.
bool SetVariable(const char* assignment) {
  const char* equals = std::strchr(assignment, '=');
  if (equals == nullptr || equals == assignment) return false;
  const std::string name(assignment, equals);
  const char* value = equals + 1;
  return SetEnvironmentVariableA(name.c_str(), *value != '\0' ? value : nullptr) != 0 ||
         *value == '\0';
}

bool PrependPath(const char* folder) {
  std::string path = folder;
  char current[32767];
  const DWORD length = GetEnvironmentVariableA("PATH", current, sizeof current);
  if (length > 0 && length < sizeof current) {
    path += ';';
    path += current;
  }
  return SetEnvironmentVariableA("PATH", path.c_str()) != 0;
}

// Follows the child as its debugger until it ends: prints each text it
// hands a debugger and each DLL it loads. Exceptions after the loader's
// first breakpoint go back to the child unhandled, so that a crash ends it
// with its exception code as it would without a debugger. False when the
// child did not end within `timeoutMs`.
bool FollowAsDebugger(DWORD timeoutMs) {
  const DWORD started = GetTickCount();
  bool greeted = false;
  for (;;) {
    const DWORD elapsed = GetTickCount() - started;
    DEBUG_EVENT event;
    if (elapsed >= timeoutMs || !WaitForDebugEvent(&event, timeoutMs - elapsed)) return false;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
        HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, event.dwProcessId);
        std::string text(info.nDebugStringLength, '\0');
        SIZE_T read = 0;
        if (process != nullptr && !info.fUnicode &&
            ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read)) {
          text.resize(read);
          while (!text.empty() && (text.back() == '\0' || text.back() == '\n')) text.pop_back();
          std::printf("debug: %s\n", text.c_str());
        }
        if (process != nullptr) CloseHandle(process);
        break;
      }
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) {
          char path[MAX_PATH];
          const DWORD length =
              GetFinalPathNameByHandleA(event.u.LoadDll.hFile, path, sizeof path, 0);
          if (length > 0 && length < sizeof path) {
            std::printf("loaded: %s\n", std::strncmp(path, "\\\\?\\", 4) == 0 ? path + 4 : path);
          }
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr)
          CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        if (greeted || event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        greeted = true;
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        std::fflush(stdout);
        return true;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* program = nullptr;
  const char* directory = nullptr;
  std::string commandLine;
  bool haveCommandLine = false;
  DWORD timeoutSeconds = 60;
  bool reportTime = false;
  bool debugOutput = false;

  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(option, "--command-line") == 0 && hasValue) {
      commandLine = argv[++i];
      haveCommandLine = true;
    } else if (std::strcmp(option, "--command-line-hex") == 0 && hasValue) {
      if (!DecodeHex(argv[++i], &commandLine)) return Usage("bad hex in --command-line-hex");
      haveCommandLine = true;
    } else if (std::strcmp(option, "--command-line-file") == 0 && hasValue) {
      if (!ReadFile(argv[++i], &commandLine)) return Usage("cannot read --command-line-file");
      haveCommandLine = true;
    } else if (std::strcmp(option, "--cwd") == 0 && hasValue) {
      directory = argv[++i];
    } else if (std::strcmp(option, "--env") == 0 && hasValue) {
      if (!SetVariable(argv[++i])) return Usage("bad --env, want NAME=VALUE");
    } else if (std::strcmp(option, "--path-prepend") == 0 && hasValue) {
      if (!PrependPath(argv[++i])) return Usage("cannot change PATH");
    } else if (std::strcmp(option, "--timeout") == 0 && hasValue) {
      timeoutSeconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(option, "--report-time") == 0) {
      reportTime = true;
    } else if (std::strcmp(option, "--debug-output") == 0) {
      debugOutput = true;
    } else if (option[0] == '-' && option[1] == '-') {
      return Usage("unknown option or missing value");
    } else if (program == nullptr) {
      program = option;
    } else {
      return Usage("more than one program");
    }
  }
  if (program == nullptr) return Usage("no program");
  if (!haveCommandLine) commandLine = std::string("\"") + program + "\"";

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  // CreateProcessA may write into the command line: hand it a private copy.
  std::string writable = commandLine;
  LARGE_INTEGER frequency, started, ended;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  const DWORD flags = debugOutput ? DEBUG_ONLY_THIS_PROCESS : 0;
  if (!CreateProcessA(program, &writable[0], nullptr, nullptr, FALSE, flags, nullptr, directory,
                      &startup, &process)) {
    std::fprintf(stderr, "setup-driver: cannot start %s: error %lu\n", program, GetLastError());
    return 3;
  }
  CloseHandle(process.hThread);

  if ((debugOutput && !FollowAsDebugger(timeoutSeconds * 1000)) ||
      WaitForSingleObject(process.hProcess, timeoutSeconds * 1000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    std::fprintf(stderr, "setup-driver: %s did not end within %lu s\n", program, timeoutSeconds);
    return 4;
  }
  QueryPerformanceCounter(&ended);
  DWORD code = 0;
  const BOOL known = GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!known) {
    std::fprintf(stderr, "setup-driver: no exit code: error %lu\n", GetLastError());
    return 3;
  }
  std::printf("exit code: %ld (0x%08lX)\n", static_cast<long>(static_cast<LONG>(code)),
              static_cast<unsigned long>(code));
  if (reportTime) {
    const long long ticks = ended.QuadPart - started.QuadPart;
    std::printf("elapsed: %lld us\n", ticks * 1000000 / frequency.QuadPart);
  }
  std::fflush(stdout);
  return static_cast<int>(code);
}
