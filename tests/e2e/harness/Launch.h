// Starts one program as a user's shell or a vendor's script would: with
// CreateProcessA, the program's path and the command line exactly as given
// (bytes, tabs, ANSI bytes; up to Windows' 32,767 characters), and reads
// all 32 bits of its exit code. What `wine program args` or a shell could
// not: they rebuild the command line and cut the code to 8 bits.
#ifndef TESTS_E2E_HARNESS_LAUNCH_H_
#define TESTS_E2E_HARNESS_LAUNCH_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct LaunchRequest {
  std::string program;           // the full path handed to CreateProcessA
  std::string commandLine;       // the child's whole command line, as is
  std::string currentDirectory;  // "" keeps this process's own
  std::string pathPrepend;       // a folder put first on the child's PATH
  // Variables set for the child alone (an empty value removes one); this
  // process's own environment is as before once the child has started.
  std::vector<std::pair<std::string, std::string>> environment;
  // Starts the child as a debugger does and collects what it tells one and
  // which DLLs it loads (LaunchResult::debugLines, loadedLibraries).
  bool followAsDebugger = false;
  // When set, the child starts with this primary token (CreateProcessAsUserA).
  void* token = nullptr;
  // A run takes well under a second: only a hang comes near this.
  unsigned long timeoutMs = 30000;
};

struct LaunchResult {
  bool started = false;
  unsigned long startError = 0;  // CreateProcess's error when it did not start
  bool timedOut = false;         // ended by force after timeoutMs
  unsigned long timeoutMs = 0;   // the request's, for the message
  uint32_t exitCode = 0;
  long long elapsedUs = 0;                   // from CreateProcess to the child's end
  std::vector<std::string> debugLines;       // OutputDebugStringA texts, in order
  std::vector<std::string> loadedLibraries;  // the full path of each DLL it loaded

  int32_t Code() const { return static_cast<int32_t>(exitCode); }
  // "exit code N (0x...)", or why there is none: for failure messages.
  std::string Describe() const;
};

LaunchResult Launch(const LaunchRequest& request);

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_LAUNCH_H_
