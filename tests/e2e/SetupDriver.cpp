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
//                              what it told a debugger (OutputDebugStringA,
//                              setup-debug.exe's debug trail), one line
//                              "debug: TEXT" each, and each DLL it loaded,
//                              "loaded: PATH", in the order they came
//
// Output (stdout), last line:  exit code: <signed decimal> (0x<hex>)
// and with --report-time one more:  elapsed: <microseconds> us
// The driver's own exit status is the child's exit code (where it ran to its
// end: a shell sees its low 8 bits, hence the line above); 2 for a usage
// error, 3 when the child could not be started, 4 on a timeout, each with a
// "setup-driver:" message on stderr and no "exit code:" line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/harness/Launch.h"

// Starting and following the child is the end-to-end tests' own launcher
// (harness/Launch.h): the driver only turns options into a request and the
// result into lines.
namespace {

int Usage(const char* message) {
  std::fprintf(stderr, "setup-driver: %s\n", message);
  std::fprintf(stderr,
               "usage: setup-driver.exe [--command-line TEXT | --command-line-hex HEX | "
               "--command-line-file FILE] "
               "[--cwd DIR] [--env NAME=VALUE]... [--path-prepend DIR] [--timeout SECONDS] "
               "[--report-time] [--debug-output] PROGRAM\n");
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

bool ReadWholeFile(const char* path, std::string* out) {
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

}  // namespace

int main(int argc, char** argv) {
  e2e::LaunchRequest request;
  request.timeoutMs = 60 * 1000;
  bool haveCommandLine = false;
  bool reportTime = false;

  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(option, "--command-line") == 0 && hasValue) {
      request.commandLine = argv[++i];
      haveCommandLine = true;
    } else if (std::strcmp(option, "--command-line-hex") == 0 && hasValue) {
      if (!DecodeHex(argv[++i], &request.commandLine)) {
        return Usage("bad hex in --command-line-hex");
      }
      haveCommandLine = true;
    } else if (std::strcmp(option, "--command-line-file") == 0 && hasValue) {
      if (!ReadWholeFile(argv[++i], &request.commandLine)) {
        return Usage("cannot read --command-line-file");
      }
      haveCommandLine = true;
    } else if (std::strcmp(option, "--cwd") == 0 && hasValue) {
      request.currentDirectory = argv[++i];
    } else if (std::strcmp(option, "--env") == 0 && hasValue) {
      const char* assignment = argv[++i];
      const char* equals = std::strchr(assignment, '=');
      if (equals == nullptr || equals == assignment) return Usage("bad --env, want NAME=VALUE");
      request.environment.emplace_back(std::string(assignment, equals), equals + 1);
    } else if (std::strcmp(option, "--path-prepend") == 0 && hasValue) {
      request.pathPrepend = argv[++i];
    } else if (std::strcmp(option, "--timeout") == 0 && hasValue) {
      request.timeoutMs = std::strtoul(argv[++i], nullptr, 10) * 1000;
    } else if (std::strcmp(option, "--report-time") == 0) {
      reportTime = true;
    } else if (std::strcmp(option, "--debug-output") == 0) {
      request.followAsDebugger = true;
    } else if (option[0] == '-' && option[1] == '-') {
      return Usage("unknown option or missing value");
    } else if (request.program.empty()) {
      request.program = option;
    } else {
      return Usage("more than one program");
    }
  }
  if (request.program.empty()) return Usage("no program");
  if (!haveCommandLine) request.commandLine = "\"" + request.program + "\"";

  const e2e::LaunchResult result = e2e::Launch(request);
  if (!result.started) {
    std::fprintf(stderr, "setup-driver: cannot start %s: %s\n", request.program.c_str(),
                 result.Describe().c_str());
    return 3;
  }
  for (const std::string& line : result.debugLines) std::printf("debug: %s\n", line.c_str());
  for (const std::string& path : result.loadedLibraries) std::printf("loaded: %s\n", path.c_str());
  if (result.timedOut) {
    std::fflush(stdout);
    std::fprintf(stderr, "setup-driver: %s %s\n", request.program.c_str(),
                 result.Describe().c_str());
    return 4;
  }
  std::printf("exit code: %ld (0x%08lX)\n", static_cast<long>(result.Code()),
              static_cast<unsigned long>(result.exitCode));
  if (reportTime) std::printf("elapsed: %lld us\n", result.elapsedUs);
  std::fflush(stdout);
  return static_cast<int>(result.exitCode);
}
