// A program of somebody else's that uses the installed (or added) string
// library: one TextString and one PathString operation, checked. Exit 0 and
// "consumer: ok" when both give what their contracts say.
#include <cstdio>
#include <cstring>

#include "paths/PathString.h"
#include "strings/TextString.h"

int main() {
  TextString text("USB adapter, adapter driver", 0);
  unsigned count = 0;
  text.Replace("ADAPTER", "stick", &count);  // ignores case
  PathString path("C:\\Program Files\\Vendor\\setup.exe", 0);
  const char* file = path.GetFileName(0);

  const bool textOk = count == 2 && std::strcmp(text.GetText(), "USB stick, stick driver") == 0;
  const bool pathOk = file != nullptr && std::strcmp(file, "setup.exe") == 0;
  std::printf("consumer: %s (text \"%s\", file name \"%s\")\n", textOk && pathOk ? "ok" : "FAILED",
              text.GetText(), file != nullptr ? file : "(null)");
  return textOk && pathOk ? 0 : 1;
}
