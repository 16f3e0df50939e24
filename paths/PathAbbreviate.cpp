// PLACEHOLDER: to be written (abbreviation for display).
#include "paths/PathString.h"

const char* PathString::Abbreviate(unsigned) { return text; }
