#include "AdminExe/Package.h"

namespace package_internal {

RefusalLine::RefusalLine(const char* name, unsigned nameLength, const char* reason)
    : text("setup: package refused: ") {
  // A name is at most kMaxNameLength characters, a reason a few words: the
  // line always fits.
  char* end = text + std::strlen(text);
  std::memcpy(end, name, nameLength);
  end[nameLength] = '\0';
  std::strcat(std::strcat(end, ": "), reason);
}

bool PutName(char (&path)[kPathSize], uint32_t folder, const pinlist::Entry& entry) {
  if (folder + entry.nameLength >= kPathSize) return false;
  std::memcpy(path + folder, entry.name, entry.nameLength);
  path[folder + entry.nameLength] = '\0';
  return true;
}

uint32_t FolderLength(const char* modulePath, uint32_t length) {
  while (length > 0 && modulePath[length - 1] != '\\' && modulePath[length - 1] != '/') --length;
  return length;
}

}  // namespace package_internal
