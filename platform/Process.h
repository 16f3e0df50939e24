#ifndef PLATFORM_PROCESS_H_
#define PLATFORM_PROCESS_H_

#include <cstdint>

// What a program knows about its own process.
namespace platform {

// CommandLine: the whole command line the process was started with, as the
// system keeps it (on Windows GetCommandLineA: the program name included,
// quoted as the caller wrote it). Never null.
const char* CommandLine();

// ModulePath: writes the full path of the running program into `buffer` of
// `size` bytes. Returns its length when it fit with its terminator; 0 when
// it could not be read or did not fit, so that a cut path is never taken for
// the real one.
uint32_t ModulePath(char* buffer, uint32_t size);

// TerminateOnHeapCorruption: from now on, a heap found corrupted ends the
// process at once instead of letting it run on with damaged data (on Windows
// HeapEnableTerminationOnCorruption, where the system offers it). Nothing to
// do on POSIX, whose allocator already aborts on the corruption it detects.
void TerminateOnHeapCorruption();

}  // namespace platform

#endif  // PLATFORM_PROCESS_H_
