// POSIX side of platform/Process.h: only code that asks the system about this process belongs here.
#include "platform/Process.h"

#include <unistd.h>

#include <cstdio>

#include <fstream>
#include <iterator>
#include <string>

namespace platform {

const char* CommandLine() {
  // Built once from /proc: the arguments joined by blanks, as a Windows
  // command line would show them (no quoting is added).
  static const std::string line = [] {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    for (char& c : raw) {
      if (c == '\0') c = ' ';
    }
    return raw;
  }();
  return line.c_str();
}

uint32_t ModulePath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const ssize_t length = readlink("/proc/self/exe", buffer, size);
  if (length <= 0 || static_cast<uint32_t>(length) >= size) {
    buffer[0] = '\0';
    return 0;
  }
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

void TerminateOnHeapCorruption() {}

int SetImageLoadPolicy(unsigned) { return 0; }

const unsigned char* OwnDataResource(unsigned, uint32_t* size) {
  *size = 0;
  return nullptr;
}

void ReportDebugLine(const char* line) {
  std::fputs(line, stderr);
  std::fputc('\n', stderr);
}

}  // namespace platform
