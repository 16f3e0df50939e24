// Fuzz target: the launcher's preparation of its command line, with any
// command line and any module path, against a reference model of
// PrepareCommandLine's contract.
//
// Input format (see Input.h): a shape byte, the module path's length and
// bytes, the bytes put before the module path, then the rest of the line.
#include <sanitizer/allocator_interface.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "AdminExe/CommandLine.h"
#include "fuzz/Input.h"
#include "fuzz/Peek.h"
#include "fuzz/Report.h"
#include "paths/PathString.h"

namespace {

using report::Fail;
using report::Require;
using report::Show;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// What the installer library must receive, from the header's three steps.
std::string Expected(std::string line, const char* modulePath) {
  if (modulePath != nullptr && *modulePath != '\0') {
    const size_t start = line.find_first_not_of(" \"") == std::string::npos
                             ? line.size()
                             : line.find_first_not_of(" \"");
    const size_t length = std::strlen(modulePath);
    bool matches = line.size() - start >= length;
    for (size_t i = 0; matches && i < length; ++i) {
      matches = Lower(line[start + i]) == Lower(modulePath[i]);
    }
    if (matches) line.erase(start, length);
  }
  const size_t first = line.find_first_not_of(" \"");
  line.erase(0, first == std::string::npos ? line.size() : first);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  while (!line.empty() && line.back() == '"') line.pop_back();
  return line;
}

// The module path in other letter case, as the system may write it.
std::string Recase(std::string text, Input& in) {
  for (char& c : text) {
    if (in.Pick(2) == 0) continue;
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  report::CurrentOperation() = "PrepareCommandLine";
  Input in(data, size);
  const unsigned shape = in.Byte();
  std::string module = in.Bytes(in.Range(0, 300));
  module.resize(std::strlen(module.c_str()));
  const char* modulePath = nullptr;
  switch (shape % 4) {
    case 0:
      modulePath = nullptr;
      break;
    case 1:
      modulePath = "";
      break;
    default:
      modulePath = module.c_str();
  }
  std::string line;
  if ((shape / 4) % 2 == 0) {
    // The usual shape: blanks and quotes, the program's path, the rest.
    line = in.Bytes(in.Range(0, 8));
    line += Recase(module, in);
  }
  line += in.Bytes(in.Range(0, 4000));
  if ((shape / 8) % 4 == 0) {
    // A long run of blanks, quotes and tabs in any rhythm: every step of the
    // preparation must stay linear in it.
    const std::string unit = {" \"\t"[in.Pick(3)], " \"\t"[in.Pick(3)]};
    const size_t length = static_cast<size_t>(in.Range(0, 70000));
    while (line.size() < length) line += unit;
  }
  line += in.Bytes(64);
  line.resize(std::strlen(line.c_str()));

  const unsigned minSize = (shape / 32) % 2 == 0 ? 260 : static_cast<unsigned>(in.Range(0, 300));
  PathString text(line.c_str(), minSize);
  const bool withoutBuffer = (shape / 64) % 4 == 0 && in.Pick(8) == 0;
  if (withoutBuffer) text.Free();

  const char* result = PrepareCommandLine(&text, modulePath);

  Require(result == text.GetText(), "the result is the text");
  const char* buffer = Peek::Text(text);
  const uint32_t bytes = Peek::Size(text);
  Require((buffer == nullptr) == (bytes == 0), "text null is not size 0");
  if (withoutBuffer) {
    Require(result == nullptr, "a text without a buffer stays without one");
    return 0;
  }
  Require(result != nullptr, "the result is never null");
  Require(__sanitizer_get_allocated_size(buffer) == bytes, "the buffer is `size` bytes");
  Require(std::memchr(buffer, '\0', bytes) != nullptr, "the text is terminated");
  const std::string prepared = result;
  Require(prepared.empty() || (prepared[0] != ' ' && prepared[0] != '"'),
          "no leading blank or quote");
  Require(prepared.empty() || prepared.back() != '"', "no trailing quote");
  const std::string expected = Expected(line, modulePath);
  if (prepared != expected) {
    Fail("prepared " + Show(prepared) + ", expected " + Show(expected) + " from " + Show(line) +
         " with module path " + (modulePath != nullptr ? Show(modulePath) : "null"));
  }
  return 0;
}
