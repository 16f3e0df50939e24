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

// The image-load mitigation policy's flags (Windows' PROCESS_MITIGATION_
// IMAGE_LOAD_POLICY bits).
constexpr unsigned kNoLowMandatoryLabelImages = 0x2;
constexpr unsigned kPreferSystem32Images = 0x4;

// SetImageLoadPolicy: asks the system to apply the image-load mitigation
// `flags` to this process from now on (Windows 10 and later:
// SetProcessMitigationPolicy, looked up at run time). 1 when the system took
// it; 0 where it lacks the call or refused it, and the program carries on.
// A no-op on POSIX that returns 0.
int SetImageLoadPolicy(unsigned flags);

// OwnDataResource: the program's own RCDATA resource `id`, with its size in
// `*size`; null when there is none (and on POSIX, where programs carry no
// resources). The data stays valid until the process ends.
const unsigned char* OwnDataResource(unsigned id, uint32_t* size);

// ReportDebugLine: hands one line to a debugger watching the process (on
// Windows OutputDebugStringA; on POSIX standard error).
void ReportDebugLine(const char* line);

}  // namespace platform

#endif  // PLATFORM_PROCESS_H_
