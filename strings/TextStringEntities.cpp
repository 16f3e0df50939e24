// PLACEHOLDER: to be written (character references and URL escapes).
#include "strings/TextString.h"

const char* TextString::DecodeEntities() { return text; }
const char* TextString::EncodeEntities() { return text; }
const char* TextString::EscapeUrlChars() { return text; }
char* TextString::ProtectEntities() { return nullptr; }
