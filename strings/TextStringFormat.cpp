// PLACEHOLDER: to be written (printf-style formatting).
#include "strings/TextString.h"

const char* TextString::Format(const char*, ...) { return text; }
const char* TextString::AppendFormat(const char*, ...) { return text; }
