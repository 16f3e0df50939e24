// PLACEHOLDER: to be written (UTF-8 and ANSI).
#include "strings/TextString.h"

const char* TextString::Utf8ToAnsi() { return text; }
const char* TextString::AnsiToUtf8() { return text; }
int TextString::IsUtf8(const char*) const { return 0; }
