// PLACEHOLDER: to be written (POSIX conversions, Windows-1252 and UTF-8).
#include "platform/CodePage.h"

namespace platform {

int MultiByteToWide(unsigned, const char*, char16_t*, int) { return 0; }
int WideToMultiByte(unsigned, const char16_t*, char*, int) { return 0; }
unsigned AnsiCodePage() { return 1252; }

}  // namespace platform
