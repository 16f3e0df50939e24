#include "platform/posix/NativePath.h"

namespace platform {

std::string NativePath(const char* path) {
  std::string native(path != nullptr ? path : "");
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace platform
