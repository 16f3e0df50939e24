#ifndef FUZZ_ORACLE_H_
#define FUZZ_ORACLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FormatArgs.h"
#include "strings/TextString.h"

// A reference model of the string operations, written from their header
// contracts with std::string and nothing from the library: what a string
// must hold after an operation, what a query must answer, and whether the
// string may have changed buffers. This file has the text operations and
// the Buffer that models one string; PathOracle.h has the models that only
// paths need.
namespace oracle {

// A text argument as an operation saw it: null, or the text it held when the
// operation started (arguments taken from a string's own buffer are read
// before anything changes, as the contract wants).
using Arg = const std::string*;

std::string Fold(std::string text);     // ASCII letters to lower case
std::string ToUpper(std::string text);  // ASCII letters to upper case
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

// Windows-1252 to UTF-8, byte by byte.
std::string Cp1252ToUtf8(const std::string& text);

// UTF-8 text whose characters all have a Windows-1252 byte of their own:
// what Utf8ToAnsi must give for it. False for anything else, where the
// contract promises less.
bool Utf8To1252(const std::string& text, std::string* out);

// What Format stores for a format of safe conversions, each with its
// argument: what snprintf writes, up to a NUL that a %c of 0 puts in. False
// when snprintf refuses the format.
bool Formatted(const char* format, const FormatArg* first, const FormatArg* end, std::string* out);

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
  void MakeUpper();
  void MakeLower();
  void ProtectEntities();
  void DecodeEntities();
  void EncodeEntities();
  void EscapeUrlChars();
  void Replace(const std::string& what, const std::string& with, bool caseSensitive) {
    ReplaceAll(&what, &with, caseSensitive);
  }
  void Cut(size_t length);  // in place, buffer kept

  // PathString's own, in PathOracle.cpp.
  void EnsureEndsWith(char c);
  void AppendComponent(Arg name);
  void MakeCommandLine(Arg arguments, int quote);
  void AppendArgument(Arg argument, int quote);
  bool SetExtension(Arg extension);  // whether it changes anything
  void DoubleBackslashes();
};

// The predicted size of ReplaceAll's result, terminator included (0 when
// nothing would change), so that the fuzzer can avoid results of gigabytes.
uint64_t ReplaceAllSize(const Buffer& b, Arg what, Arg with, bool caseSensitive);

// The same for ExpandTabs.
uint64_t ExpandTabsSize(const Buffer& b, unsigned width);

// The capacity that the constructor gives for `text` and `minSize`; false
// where the contract leaves it open.
bool ConstructedCapacity(Arg text, unsigned minSize, uint64_t* capacity);

// The queries, answered from the string as the operation found it. Compare
// gives the sign of the order, its `other` null for an object that is not a
// TextString; Find and FindIn give an offset into the text searched (npos
// for the null result); the rest give the value the query must return.
int Compare(const Buffer& b, const Buffer* other, int byLength);
int IsEqual(const Buffer& b, Arg text, bool caseSensitive);
size_t Find(const Buffer& b, Arg what, bool caseSensitive);
size_t FindIn(Arg haystack, Arg what, bool caseSensitive);
int EndsWith(const Buffer& b, Arg other, bool caseSensitive, bool reversed);
int Count(const Buffer& b, Arg what, bool caseSensitive);
int HasSpace(const Buffer& b);
int IsComment(const Buffer& b);
int IsHexNumber(const Buffer& b);
int IsNumber(const Buffer& b);
int IsBreakOnly(const Buffer& b);

}  // namespace oracle

#endif  // FUZZ_ORACLE_H_
