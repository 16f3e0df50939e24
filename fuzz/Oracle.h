#ifndef FUZZ_ORACLE_H_
#define FUZZ_ORACLE_H_

#include <cstdint>
#include <string>

#include "strings/TextString.h"

// A reference model of the string operations, written from their header
// contracts with std::string and nothing from the library: what a string
// must hold after an operation, and whether it may have changed buffers.
namespace oracle {

// A text argument as an operation saw it: null, or the text it held when the
// operation started (arguments taken from a string's own buffer are read
// before anything changes, as the contract wants).
using Arg = const std::string*;

std::string Fold(std::string text);  // ASCII letters to lower case
bool IsBlank(const std::string& text);
bool IsBlankByte(char c);

// Start of the first occurrence of `what` in `text` at or after `from`,
// exact or ASCII-folded; npos when there is none. An empty `what` matches at
// `from` itself, except at the end of the text.
size_t Find(const std::string& text, const std::string& what, size_t from, bool caseSensitive);

// Count: overlapping occurrences, as TextString::Count defines them.
int Count(const std::string& text, const std::string& what, bool caseSensitive);

// IsUtf8 as its contract defines it: structure only.
int IsUtf8(const std::string& text);

// A strict UTF-8 check: every sequence complete and well formed.
bool IsWellFormedUtf8(const std::string& text);

// Windows-1252 to UTF-8, byte by byte.
std::string Cp1252ToUtf8(const std::string& text);

// The states of one string.
struct Buffer {
  bool has = false;       // a buffer exists
  std::string text;       // the text in it (empty without one)
  uint32_t capacity = 0;  // size - 1 (0 without one)
  bool kept = true;       // the buffer must still be the one it had before
  bool zeroTail = false;  // bytes after the terminator up to the capacity are zero

  static Buffer Of(const TextString& s);

  void Assign(Arg text, unsigned minSize);
  void AssignN(const char* bytes, size_t available, unsigned count);
  void Append(Arg text);
  // Returns the number of replacements.
  unsigned ReplaceAll(Arg what, Arg with, bool caseSensitive);
  int TruncateAt(unsigned index);
  void Clear();
  void Free();
  void TrimLeftChar(char c);
  void TrimRightChar(char c, int all);
  void TrimLeft();
  void TrimRight();
  void TrimLeftSet(Arg set);
  void TrimRightSet(Arg set);
  void ExpandTabs(unsigned width);
  void RemoveWhitespace();
  void ProtectEntities();
  void DecodeEntities();
  void EncodeEntities();
  void EscapeUrlChars();
  void EnsureEndsWith(char c);
  void AppendComponent(Arg name);
  void Replace(const std::string& what, const std::string& with, bool caseSensitive) {
    ReplaceAll(&what, &with, caseSensitive);
  }
  void Cut(size_t length);  // in place, buffer kept
};

// The predicted size of ReplaceAll's result, terminator included (0 when
// nothing would change), so that the fuzzer can avoid results of gigabytes.
uint64_t ReplaceAllSize(const Buffer& b, Arg what, Arg with, bool caseSensitive);

// The PathString text operations.
int MatchWildcard(const std::string& text, const std::string& pattern, bool caseSensitive);
int IsDriveRoot(const Buffer& b);

// Components; false when there is none.
bool Drive(const std::string& text, std::string* out);
bool Directory(const std::string& text, std::string* out);
bool Arguments(const std::string& text, std::string* out);

}  // namespace oracle

#endif  // FUZZ_ORACLE_H_
