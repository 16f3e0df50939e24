// Windows paths in the form the POSIX calls take: only that translation belongs here.
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
