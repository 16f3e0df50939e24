// PLACEHOLDER: to be written (whitespace and set trimming).
#include "strings/TextString.h"

const char* TextString::ExpandTabs(unsigned) { return text; }
const char* TextString::RemoveWhitespace() { return text; }
const char* TextString::TrimLeft() { return text; }
const char* TextString::TrimLeftSet(const char*) { return text; }
const char* TextString::TrimRightSet(const char*) { return text; }
