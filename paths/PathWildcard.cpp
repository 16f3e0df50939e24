// PLACEHOLDER: to be written (wildcard matching).
#include "paths/PathString.h"

int PathString::MatchWildcard(const char*, int) { return 0; }
int PathString::MatchWildcard(const TextString*, int) { return 0; }
