// PLACEHOLDER: to be written (command lines, extensions, quoted values).
#include "paths/PathString.h"

const char* PathString::MakeCommandLine(const char*, int) { return text; }
const char* PathString::AppendArgument(const char*, int) { return text; }
const char* PathString::SetExtension(const char*) { return nullptr; }
const char* PathString::DoubleBackslashes() { return text; }
int PathString::GetQuotedValue(const char*, char*, int) { return 0; }
