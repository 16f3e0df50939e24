#ifndef PATHS_PATHSTRING_H_
#define PATHS_PATHSTRING_H_

#include "strings/TextString.h"

// PathString: a TextString for Windows paths and command lines. It inherits
// TextString's 55 operations unchanged and appends 29 of its own.
//
// Two kinds of operation live here and are kept apart:
//  - text operations (components, command lines, wildcards, abbreviation)
//    work on the text alone and never touch the file system;
//  - queries (IsDirectory, CheckFile, CanEnterDirectory, HasSubdirectories,
//    HasEntries) ask the operating system. Only CheckFile and
//    CanEnterDirectory record failures, in lastError and errorCode (see
//    GetError).
//
// Texts returned by the component getters live in caches owned by the path
// and stay valid until the next call of the same getter; the text returned
// by Abbreviate lives in `displayText` until the next Abbreviate.
//
// The path grammar that the component operations read, on the text alone:
//
//   C:\Tools\run.exe -q -log
//   ^^                          drive: up to and including the first ':'
//   ^^^^^^^^                    directory: everything before the last '\'
//            ^^^^^^^^^^^^^^^    file name: everything after the last '\'
//                               (the whole text when there is none), the
//                               arguments included
//                    ^^^^^^^    arguments: from the '-' of the first " -"
//
//  - Each component is found on its own in the whole text: the last '\'
//    may stand in the arguments ("run.exe -log C:\x": directory
//    "run.exe -log C:", file name "x"), the first " -" in a directory name
//    ("C:\my -dir\x": arguments "-dir\x"), and whatever stands before the
//    first ':' is a drive ("Drive:", even ":").
//  - IsDriveRoot: the first ':' ends the text, or only one '\' follows it.
//  - Split, when the text has a drive, removes every occurrence of the
//    drive's text (ASCII case folded) from the directory and then its
//    leading backslashes; when it has arguments, every occurrence of their
//    text from the file name and then one trailing space.
//
// The operations by family, each family in the file named after it, with
// an example each:
//
// Construction, joining and the error record (PathString.cpp):
// AppendComponent, AddComponent, AppendBackslash, EnsureEndsWith, GetError.
//
//   PathString p("C:\\Tools", 260);
//   p.AppendComponent("run.exe");    // "C:\\Tools\\run.exe"
//   p.EnsureEndsWith('\\');          // "C:\\Tools\\run.exe\\"
//
// Components (PathComponents.cpp): the Get and Extract operations, Split,
// IsDriveRoot.
//
//   PathString p("C:\\Tools\\run.exe -q -log", 260);
//   p.GetDrive(0);                   // "C:"
//   p.GetDirectory(0);               // "C:\\Tools"
//   p.GetFileName(0);                // "run.exe -q -log"
//   p.GetArguments();                // "-q -log"
//   TextString directory, name;
//   p.Split(nullptr, &directory, &name, nullptr);  // "Tools", "run.exe"
//
// Command lines (PathCommandLine.cpp): MakeCommandLine, AppendArgument,
// SetExtension, DoubleBackslashes, GetQuotedValue.
//
//   PathString p("C:\\Tools\\run.exe", 260);
//   p.MakeCommandLine("-q", 0);      // "\"C:\\Tools\\run.exe\" -q"
//   p.AppendArgument("a b.txt", 1);  // "\"C:\\Tools\\run.exe\" -q \"a b.txt\""
//   PathString line("name=\"Setup\" /q", 260);
//   char value[16];
//   line.GetQuotedValue("NAME=", value, sizeof value);  // 1, value "Setup"
//
// Wildcards (PathWildcard.cpp): MatchWildcard.
//
//   PathString p("setup.exe", 260);
//   p.MatchWildcard("S*.EXE", 0);    // 1; with caseSensitive 1, 0
//
// Abbreviation (PathAbbreviate.cpp): Abbreviate.
//
//   PathString p("C:\\Program Files\\Vendor\\setup.exe", 260);
//   p.Abbreviate(16);                // "C:\\Prog...setup.exe": the whole
//                                    // file name stays
//
// File checks (PathFileChecks.cpp): IsDirectory, CheckFile. Directory
// queries (PathDirectoryQueries.cpp): CanEnterDirectory, HasSubdirectories,
// HasEntries.
//
//   PathString p("C:\\Windows", 260);
//   p.IsDirectory();                 // 16 where the directory exists
//   p.CheckFile("win.ini", 3);       // 1 where the file exists; else 0,
//                                    // with the system's code recorded
//   p.HasEntries();                  // 1 when it holds any entry
//
// The declaration order below continues the virtual table of TextString and
// is part of the contract. Do not reorder, insert or remove virtual
// functions.
class PathString : public TextString {
 public:
  // Error codes of this system, recorded in errorCode.
  static constexpr int kErrorBlankPath = 1022;       // lastError 109
  static constexpr int kErrorOpenFailed = 1023;      // lastError: the system's code
  static constexpr int kErrorEnterDirectory = 1024;  // lastError: the system's code

  // Builds the text as TextString(text, minSize) does (a null text gives the
  // empty text with capacity 260), an empty displayText, no caches.
  explicit PathString(const char* text = nullptr, unsigned minSize = 260);

  // A path is never copied whole: its caches must never be shared.
  PathString(const PathString&) = delete;
  // Assigning another path copies its text only, as assigning any
  // TextString does; caches and displayText stay this path's own.
  PathString& operator=(const PathString& other);
  using TextString::operator=;

  // ~PathString: deletes the caches, then displayText, then the text.
  ~PathString() override;

  // AppendComponent: appends `name`, with a backslash between when `name`
  // does not begin with one and the path is not blank. A null `name`
  // changes nothing. Buffer rule of Append.
  virtual const char* AppendComponent(const char* name);

  // AddComponent: AppendComponent(name).
  virtual const char* AddComponent(const char* name);

  // GetDrive / GetDirectory / GetFileName: with `inPlace` non-zero, cut the
  // path down to the component as the matching Extract operation with a
  // null `out` does. Otherwise the component (or the empty text when there
  // is none) in this path's cache for it; the path is unchanged. Null for a
  // path without text.
  virtual const char* GetDrive(int inPlace);
  virtual const char* GetDirectory(int inPlace);
  virtual const char* GetFileName(int inPlace);

  // GetArguments: GetDrive's rule for the arguments, never in place.
  virtual const char* GetArguments();

  // The Extract family: with `out`, copy the component into `out` and
  // return out's text, leaving the path alone; with a null `out`, reduce
  // the path to the component and return its text. Without a component:
  // null, and neither the path nor `out` changes. `out` may be this path.
  //  - drive: up to and including the first ':'. In place the buffer stays.
  //  - directory: before the last backslash. In place the buffer stays.
  //  - file name: after the last backslash; with no backslash the whole
  //    text, and the result is then the path's own text even with `out`.
  //    Null when the text ends with a backslash. In place the buffer shrinks
  //    to exactly the file name.
  //  - arguments: from the '-' of the first " -" on. In place the buffer
  //    shrinks to exactly the arguments.
  virtual const char* ExtractDrive(TextString* out);
  virtual const char* ExtractDirectory(TextString* out);
  virtual const char* ExtractFileName(TextString* out);
  virtual const char* ExtractArguments(TextString* out);

  // MakeCommandLine: the text becomes "<path>" <arguments>, the arguments
  // in double quotes too when `quoteArguments` is non-zero. Nothing is
  // escaped. A null `arguments` changes nothing.
  virtual const char* MakeCommandLine(const char* arguments, int quoteArguments);

  // AppendArgument: a space unless the text ends with one, then `argument`,
  // in double quotes when `quote` is non-zero. A null `argument` changes
  // nothing; on a path without text no space comes first.
  virtual const char* AppendArgument(const char* argument, int quote);

  // AppendBackslash: EnsureEndsWith('\\').
  virtual const char* AppendBackslash();

  // SetExtension: replaces what follows the last '.' of the whole text by
  // `extension` without its leading dots. Null, and nothing changed, when
  // the text or `extension` is null or the text has no '.'.
  virtual const char* SetExtension(const char* extension);

  // DoubleBackslashes: every backslash becomes two.
  virtual const char* DoubleBackslashes();

  // Split: fills each non-null output with its component (the empty text
  // when there is none). When a drive was found, the directory loses every
  // occurrence of the drive's text (ASCII case folded) and then its leading
  // backslashes; when arguments were found, the file name loses every
  // occurrence of their text and then one trailing space. The path is
  // unchanged. Always 1. An output may be this path itself.
  virtual int Split(TextString* drive, TextString* directory, TextString* fileName,
                    TextString* arguments);

  // GetQuotedValue: finds `key` (ASCII case folded) and copies the
  // double-quoted value after it into `out` (outSize bytes, always
  // terminated, cut to outSize - 1). 1 when the key occurs, whether or not
  // a value was copied; 0 for a null key or no occurrence. `out` is left
  // untouched when only blanks may, but something else does, stand between
  // key and quote, when a quote is missing, and when `out` is null or
  // outSize <= 0.
  virtual int GetQuotedValue(const char* key, char* out, int outSize);

  // MatchWildcard: 1 when the whole text matches `pattern` ('*' any run,
  // '?' any one byte), without backtracking: after a run of '*' the text is
  // advanced to the first occurrence of the next pattern byte only. Trailing
  // blanks of either side are ignored at the end. A null text or pattern
  // counts as empty.
  virtual int MatchWildcard(const char* pattern, int caseSensitive);
  virtual int MatchWildcard(const TextString* pattern, int caseSensitive);

  // IsDirectory: 16 when the path names an existing directory, else 0.
  // Records nothing.
  virtual int IsDirectory();

  // CanEnterDirectory: 1 when the path can be made the current directory.
  // The current directory is the same afterwards. On failure records
  // kErrorEnterDirectory and the system's code. Blank text: 0, nothing
  // recorded.
  virtual int CanEnterDirectory();

  // CheckFile: CheckFile(nullptr, disposition).
  virtual int CheckFile(int disposition);

  // CheckFile: whether the path (with `name` appended as a component) can
  // be opened with `disposition` (3: open existing), i.e. exists. The path
  // itself is not changed. 0 for a directory. A refused open whose code
  // shows the file is there (5, 32, 33, 80) still gives 1. A path without
  // text gives 0 and records nothing. Otherwise sets lastError to 0 first
  // (errorCode keeps its value); records kErrorBlankPath/109 for a blank
  // path and kErrorOpenFailed with the system's code for a failed open.
  virtual int CheckFile(const char* name, int disposition);

  // Abbreviate: the text itself when its length <= maxLength. Otherwise
  // the first and last characters of the text with "..." between them,
  // maxLength characters kept in all, in displayText (so maxLength + 3
  // long). The end kept is half of maxLength rounded up, or the whole file
  // name when that is longer; a beginning shorter than 3 grows to 3 at the
  // end's expense when the end is longer than 3. When the file name alone
  // is longer than maxLength, the path itself is cut after maxLength
  // characters of its file name and the file name is returned.
  virtual const char* Abbreviate(unsigned maxLength);

  // HasSubdirectories / HasEntries: 1 when the directory holds a
  // subdirectory / any entry other than "." and "..". 0 for anything that
  // is not a listable directory, and for a text too long to list.
  virtual int HasSubdirectories();
  virtual int HasEntries();

  // IsDriveRoot: 1 when the text's first ':' ends the text or is followed
  // by a final backslash ("C:", "C:\"). Text only; no system call.
  virtual int IsDriveRoot();

  // GetError: lastError; errorCode into *detail when `detail` is non-null.
  // Clears nothing.
  virtual unsigned GetError(int* detail);

  // EnsureEndsWith: appends `c` unless the last character already is `c`.
  // Null for a path without text.
  virtual const char* EnsureEndsWith(char c);

 protected:
  TextString displayText;
  TextString* driveCache;
  TextString* directoryCache;
  TextString* fileNameCache;
  TextString* argumentsCache;
};

#endif  // PATHS_PATHSTRING_H_
