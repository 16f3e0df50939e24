#include "tests/e2e/harness/Launch.h"

#include <windows.h>

#include <cstdio>

#include "tests/e2e/harness/System.h"

namespace e2e {
namespace {

// Sets variables in this process's environment, which CreateProcess copies
// into the child's, and puts back what was there before.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { Restore(); }

  void Set(const std::string& name, const std::string& value) {
    Save(name);
    SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
  }

  void Prepend(const std::string& name, const std::string& head) {
    const Saved& saved = Save(name);
    SetEnvironmentVariableA(name.c_str(), (head + saved.value).c_str());
  }

  void Restore() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      SetEnvironmentVariableA(it->name.c_str(), it->existed ? it->value.c_str() : nullptr);
    }
    saved_.clear();
  }

 private:
  struct Saved {
    std::string name;
    bool existed;
    std::string value;
  };

  const Saved& Save(const std::string& name) {
    std::vector<char> value(32767);
    SetLastError(0);
    const DWORD length =
        GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    const bool existed = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    saved_.push_back(
        Saved{name, existed, std::string(value.data(), length < value.size() ? length : 0)});
    return saved_.back();
  }

  std::vector<Saved> saved_;
};

std::string DebugText(const DEBUG_EVENT& event) {
  const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
  std::string text;
  HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, event.dwProcessId);
  if (process == nullptr) return text;
  text.assign(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  if (info.fUnicode ||
      !ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read)) {
    read = 0;
  }
  text.resize(read);
  CloseHandle(process);
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

std::string LoadedPath(HANDLE file) {
  char path[MAX_PATH * 2];
  const DWORD length = GetFinalPathNameByHandleA(file, path, sizeof path, 0);
  if (length == 0 || length >= sizeof path) return std::string();
  return std::string(path, length).compare(0, 4, "\\\\?\\") == 0 ? std::string(path + 4, length - 4)
                                                                 : std::string(path, length);
}

// STATUS_WX86_BREAKPOINT: the breakpoint with which WoW64 greets a debugger
// of a 32-bit process on 64-bit Windows, besides the loader's own.
constexpr DWORD kWow64Breakpoint = 0x4000001F;

// Follows the child as its debugger (as setup-driver.exe --debug-output
// does) until it ends: each text it hands a debugger and each DLL it
// loads. Every exception but the first breakpoint of each kind goes back
// to the child unhandled, so that a crash ends it with its exception code
// as it would without a debugger. False when the child did not end in time.
bool FollowAsDebugger(DWORD timeoutMs, LaunchResult* result) {
  const DWORD started = GetTickCount();
  bool greeted = false;
  bool greetedByWow64 = false;
  for (;;) {
    const DWORD elapsed = GetTickCount() - started;
    DEBUG_EVENT event;
    if (elapsed >= timeoutMs || !WaitForDebugEvent(&event, timeoutMs - elapsed)) return false;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT:
        result->debugLines.push_back(DebugText(event));
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) {
          const std::string path = LoadedPath(event.u.LoadDll.hFile);
          if (!path.empty()) result->loadedLibraries.push_back(path);
          CloseHandle(event.u.LoadDll.hFile);
        }
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr) {
          CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        break;
      case EXCEPTION_DEBUG_EVENT:
        switch (event.u.Exception.ExceptionRecord.ExceptionCode) {
          case EXCEPTION_BREAKPOINT:
            if (greeted) status = DBG_EXCEPTION_NOT_HANDLED;
            greeted = true;
            break;
          case kWow64Breakpoint:
            if (greetedByWow64) status = DBG_EXCEPTION_NOT_HANDLED;
            greetedByWow64 = true;
            break;
          default:
            status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return true;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}

// After TerminateProcess on a debugged child: its remaining events must be
// continued for it to end.
void DrainDebugEvents() {
  DEBUG_EVENT event;
  while (WaitForDebugEvent(&event, 5000)) {
    if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile != nullptr) {
      CloseHandle(event.u.LoadDll.hFile);
    }
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT &&
        event.u.CreateProcessInfo.hFile != nullptr) {
      CloseHandle(event.u.CreateProcessInfo.hFile);
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return;
  }
}

}  // namespace

std::string LaunchResult::Describe() const {
  char text[128];
  if (!started) {
    std::snprintf(text, sizeof text, "did not start: error %lu (", startError);
    return text + ErrorText(startError) + ")";
  }
  if (timedOut) {
    std::snprintf(text, sizeof text, "did not end within %lu s and was ended by force",
                  timeoutMs / 1000);
    return text;
  }
  std::snprintf(text, sizeof text, "exit code %ld (0x%08lX)", static_cast<long>(Code()),
                static_cast<unsigned long>(exitCode));
  return text;
}

LaunchResult Launch(const LaunchRequest& request) {
  LaunchResult result;
  result.timeoutMs = request.timeoutMs;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // CreateProcessA may write into the command line: a private copy.
  std::vector<char> commandLine(request.commandLine.begin(), request.commandLine.end());
  commandLine.push_back('\0');
  const char* directory =
      request.currentDirectory.empty() ? nullptr : request.currentDirectory.c_str();
  const DWORD flags = request.followAsDebugger ? DEBUG_ONLY_THIS_PROCESS : 0;
  LARGE_INTEGER frequency, started, finished;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  BOOL created;
  {
    ScopedEnvironment environment;
    for (const auto& variable : request.environment) {
      environment.Set(variable.first, variable.second);
    }
    if (!request.pathPrepend.empty()) environment.Prepend("PATH", request.pathPrepend + ";");
    created =
        request.token != nullptr
            ? CreateProcessAsUserA(static_cast<HANDLE>(request.token), request.program.c_str(),
                                   commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                                   directory, &startup, &process)
            : CreateProcessA(request.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                             flags, nullptr, directory, &startup, &process);
    result.startError = created ? 0 : GetLastError();
  }
  if (!created) return result;
  result.started = true;
  CloseHandle(process.hThread);

  bool ended = request.followAsDebugger ? FollowAsDebugger(request.timeoutMs, &result) : true;
  if (ended) ended = WaitForSingleObject(process.hProcess, request.timeoutMs) == WAIT_OBJECT_0;
  if (!ended) {
    TerminateProcess(process.hProcess, 1);
    if (request.followAsDebugger) DrainDebugEvents();
    WaitForSingleObject(process.hProcess, 5000);
    result.timedOut = true;
  } else {
    QueryPerformanceCounter(&finished);
    result.elapsedUs = (finished.QuadPart - started.QuadPart) * 1000000 / frequency.QuadPart;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = code;
  }
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace e2e
