// PLACEHOLDER: to be written (components and Split).
#include "paths/PathString.h"

const char* PathString::GetDrive(int) { return nullptr; }
const char* PathString::GetDirectory(int) { return nullptr; }
const char* PathString::GetFileName(int) { return nullptr; }
const char* PathString::GetArguments() { return nullptr; }
const char* PathString::ExtractDrive(TextString*) { return nullptr; }
const char* PathString::ExtractDirectory(TextString*) { return nullptr; }
const char* PathString::ExtractFileName(TextString*) { return nullptr; }
const char* PathString::ExtractArguments(TextString*) { return nullptr; }
int PathString::Split(TextString*, TextString*, TextString*, TextString*) { return 1; }
