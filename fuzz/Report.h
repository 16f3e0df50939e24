#ifndef FUZZ_REPORT_H_
#define FUZZ_REPORT_H_

#include <cstdio>
#include <cstdlib>
#include <string>

// How a fuzzer reports a broken rule: the operation, what was wrong, then
// abort(), which libFuzzer turns into a crash with the input saved.
namespace report {

// The operation running now, for the message.
inline const char*& CurrentOperation() {
  static const char* name = "start";
  return name;
}

// A text made printable and cut to a readable length.
inline std::string Show(const std::string& text) {
  std::string shown = "\"";
  for (size_t i = 0; i < text.size() && i < 160; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      shown += escape;
    }
  }
  if (text.size() > 160) shown += "...(" + std::to_string(text.size()) + " bytes)";
  return shown + "\"";
}

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "\n==== broken rule in %s: %s\n", CurrentOperation(), what.c_str());
  std::fflush(stderr);
  std::abort();
}

inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

}  // namespace report

#endif  // FUZZ_REPORT_H_
