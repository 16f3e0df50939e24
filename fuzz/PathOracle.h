#ifndef FUZZ_PATHORACLE_H_
#define FUZZ_PATHORACLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Oracle.h"

// The reference model of what only paths do (see Oracle.h for the rest),
// from PathString's header contracts: the components, the operations that
// take a path apart or put one together, and the answers of the file-system
// queries for what the disk holds.
namespace oracle {

int MatchWildcard(const std::string& text, const std::string& pattern, bool caseSensitive);
int IsDriveRoot(const Buffer& b);

// Components; false when there is none.
bool Drive(const std::string& text, std::string* out);
bool Directory(const std::string& text, std::string* out);
bool Arguments(const std::string& text, std::string* out);

// The components in the order of PathString's getters and Extract
// operations.
enum Component { kDrive, kDirectory, kFileName, kArguments };

// What an Extract operation gives: null, out's text or the path's text.
enum Extracted { kNoComponent, kOutText, kPathText };

// What Extract<which>(out) does to the path's model and to out's (null for
// a null out; the path's own model when out is the path).
Extracted Extract(int which, Buffer* path, Buffer* out);

// What Split(drive, directory, file name, arguments) leaves in its outputs:
// each of `outputs` that is not null holds the model of that output as it
// was, and becomes what it must hold.
void Split(const Buffer& path, Buffer* const outputs[4]);

// GetQuotedValue: its result, and whether it copies `value` out.
struct QuotedValue {
  int result = 0;
  bool copies = false;
  std::string value;
};
QuotedValue GetQuotedValue(const Buffer& path, Arg key);

// The `outSize` bytes that a copied value leaves in out: as much of it as
// fits before a terminator, then zeroes.
std::string QuotedValueOut(const std::string& value, int outSize);

// What Abbreviate(maxLength) makes of `text`: nothing (the path is short
// enough and is its own abbreviation), the path cut after the first
// maxLength bytes of its file name (the result points at the file name), or
// an abbreviation in displayText.
struct Abbreviation {
  enum Kind { kWhole, kCutFileName, kInDisplay } kind = kWhole;
  size_t fileName = 0;  // kCutFileName: where the file name starts
  std::string text;     // kInDisplay: the abbreviation
};
Abbreviation Abbreviate(const std::string& text, unsigned maxLength);

// What the scratch directory holds at a path's text, looked up before the
// query.
struct OnDisk {
  bool directory = false;       // a directory is there
  bool file = false;            // a regular file is there
  bool entries = false;         // it is a directory listing anything but "." and ".."
  bool subdirectories = false;  // ... a subdirectory among them
};

int IsDirectory(const Buffer& path, const OnDisk& disk);
int HasSubdirectories(const Buffer& path, const OnDisk& disk);
int HasEntries(const Buffer& path, const OnDisk& disk);
int CanEnterDirectory(const Buffer& path, const OnDisk& disk);

// Whether a refused open with this system code shows that the file is there
// (access denied, sharing and lock violations, file exists), so that
// CheckFile still answers 1.
bool OpenFailureFindsFile(uint32_t lastError);

}  // namespace oracle

#endif  // FUZZ_PATHORACLE_H_
