#ifndef FUZZ_SANDBOX_H_
#define FUZZ_SANDBOX_H_

#include <string>

// The private scratch directory that the file-system queries of the fuzzer
// run in. Make() creates a fresh directory under the system's temporary
// directory and fills it with a few fixtures; it is removed when the
// process exits normally. A Visit makes it the current directory for the
// length of one query, so that the relative paths the queries get resolve
// inside it while libFuzzer's own paths keep resolving where it started.
//
// Fixtures: "d" (a directory holding the file "d\f" and the directory
// "d\s"), "e" (an empty directory) and "f" (a file).
namespace sandbox {

void Make();

class Visit {
 public:
  Visit();
  ~Visit();
  Visit(const Visit&) = delete;
  Visit& operator=(const Visit&) = delete;
};

// Whether `path` (a Windows-style relative path, backslashes or slashes)
// names something inside the scratch directory: not absolute, no ".."
// component, and only letters, digits and a few safe punctuation bytes.
bool IsConfined(const std::string& path);

// `path` made confined: unsafe bytes become '_', leading separators go and
// ".." components become "__". Keeps the length.
std::string Confine(std::string path);

// The path as the POSIX side reads it: backslashes as '/'.
std::string Native(const std::string& path);

// What the disk holds at `path` (as IsConfined wants it, relative to the
// current directory): a directory, a regular file, and whether a directory
// lists anything but "." and "..", or a subdirectory.
bool IsDirectory(const std::string& path);
bool IsFile(const std::string& path);
bool Lists(const std::string& path, bool subdirectoriesOnly);

// The current directory; empty when the system cannot tell.
std::string CurrentDirectory();

// Notes a query that may have created or truncated a file.
void NoteCreation();

// Puts the scratch directory back as Enter() made it, when a query may
// have changed it: every input starts from the same files, so a finding
// replays on its own, and a long run never fills the disk.
void Restore();

}  // namespace sandbox

#endif  // FUZZ_SANDBOX_H_
