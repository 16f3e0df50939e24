// PLACEHOLDER: to be written (case, character tests, endings, counting).
#include "strings/TextString.h"

char* TextString::MakeUpper() { return text; }
char* TextString::MakeLower() { return text; }
int TextString::IsHexNumber() const { return 0; }
int TextString::IsNumber() const { return 0; }
int TextString::IsBreakOnly() const { return 0; }
int TextString::IsComment() const { return 0; }
int TextString::EndsWith(const char*, int, int) const { return 0; }
int TextString::Count(const char*, int) const { return 0; }
