#ifndef PLATFORM_POSIX_NATIVEPATH_H_
#define PLATFORM_POSIX_NATIVEPATH_H_

#include <string>

namespace platform {

// NativePath: a Windows path as the POSIX calls take it. Paths reach this
// layer as they are written, so every backslash is read as '/'. Null gives
// the empty path.
std::string NativePath(const char* path);

}  // namespace platform

#endif  // PLATFORM_POSIX_NATIVEPATH_H_
