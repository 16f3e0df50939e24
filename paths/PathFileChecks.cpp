// PLACEHOLDER: to be written (file checks).
#include "paths/PathString.h"

int PathString::IsDirectory() { return 0; }
int PathString::CheckFile(int) { return 0; }
int PathString::CheckFile(const char*, int) { return 0; }
