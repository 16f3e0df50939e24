// PLACEHOLDER: to be written (directory queries).
#include "paths/PathString.h"

int PathString::CanEnterDirectory() { return 0; }
int PathString::HasSubdirectories() { return 0; }
int PathString::HasEntries() { return 0; }
int PathString::IsDriveRoot() { return 0; }
