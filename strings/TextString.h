#ifndef STRINGS_TEXTSTRING_H_
#define STRINGS_TEXTSTRING_H_

#include <cstdint>

#include "strings/ObjectBase.h"

// Formatting is the C runtime's: on Windows msvcrt.dll's conversions.
#if defined(__MINGW32__)
#define TEXTSTRING_PRINTF(fmt, args) __attribute__((format(ms_printf, fmt, args)))
#elif defined(__GNUC__)
#define TEXTSTRING_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TEXTSTRING_PRINTF(fmt, args)
#endif

// TextString: one heap buffer of NUL-terminated 8-bit text (ANSI code page),
// owned by the object alone, behind a fixed table of 55 virtual operations.
//
// Storage rules that every operation keeps:
//  - `text` is null exactly when `size` is 0 ("without a buffer"). Every
//    operation accepts such a string and says what it does with it.
//  - The capacity is size - 1 (0 without a buffer). The length is never
//    stored; it is measured up to the terminator whenever it is needed.
//  - A buffer is never resized in place and never grown by a factor: an
//    operation that needs another size allocates exactly the size its rule
//    states, fills it and releases the old one. Such an operation kills every
//    pointer taken from the string before it. Operations that keep the buffer
//    may leave earlier bytes after the new terminator; GetAt can read them.
//  - Case-insensitive comparisons fold the ASCII letters A-Z/a-z and nothing
//    else, whatever the C library's locale says.
//  - Text arguments may point into the string's own buffer (a string assigned
//    or appended to itself, a `what` taken from its own text): the result is
//    the one a separate copy of the argument would give.
//  - Operations that change the string return its `text` pointer afterwards
//    (null without a buffer), so that calls can be chained.
//
// The operations by family, each family in the file named after it, with
// an example each (Windows-1252 as the ANSI code page):
//
// Storage (TextStringStorage.cpp): Assign, AssignN, Append, Clear, Free,
// GetAt, TruncateAt, GetText, LengthOf, GetLength, GetCapacity, operators.
//
//   TextString s("setup", 0);  // capacity 6: the text and one byte more
//   s.Append(".exe");          // "setup.exe": need 10 >= 6, a new buffer
//                              // of exactly 10 bytes
//   s.Assign("run", 0);        // "run" in the same buffer: s.GetAt(4) is
//                              // still 'p'
//
// Search (TextStringSearch.cpp): Compare, IsEqual, HasSpace, IsBlank,
// FindIn, Find, EndsWith, Count.
//
//   TextString s("Setup.EXE /q", 0);
//   s.Find("exe", 0);          // s.GetText() + 6: 0 folds ASCII case
//   s.Find("exe", 1);          // null: 1 compares exactly
//   s.EndsWith("/Q", 0, 0);    // 1
//   s.Count("e", 0);           // 3
//
// Replacing (TextStringReplace.cpp): ReplaceAll, Remove, Replace,
// ReplaceCase.
//
//   TextString s("Setup.EXE setup.exe", 0);
//   unsigned n;
//   s.Replace("SETUP", "Install", &n);  // "Install.EXE Install.exe", n 2
//   s.ReplaceCase(".exe", ".msi", &n);  // "Install.EXE Install.msi", n 1
//
// Trimming (TextStringTrim.cpp): TrimLeft, TrimRight, TrimLeftChar,
// TrimRightChar, TrimLeftSet, TrimRightSet.
//
//   TextString s("  \"C:\\Tools\\\"\t", 0);
//   s.TrimLeft();              // the leading blanks go
//   s.TrimRight();             // the tab goes: "\"C:\\Tools\\\""
//   s.TrimLeftChar('"');
//   s.TrimRightChar('"', 1);   // "C:\\Tools\\"
//   s.TrimRightSet("\\/");    // "C:\\Tools"
//
// Whitespace (TextStringWhitespace.cpp): ExpandTabs, RemoveWhitespace.
//
//   TextString s("a\tb c", 0);
//   s.ExpandTabs(2);           // "a  b c"
//   s.RemoveWhitespace();      // "abc"
//
// Formatting (TextStringFormat.cpp): Format, AppendFormat.
//
//   TextString s;                  // the empty text, capacity 260
//   s.Format("%s=%d", "x", 42);    // "x=42"
//   s.AppendFormat(";%02X", 10);   // "x=42;0A"
//
// Case and classification (TextStringClassify.cpp): MakeUpper, MakeLower,
// IsHexNumber, IsNumber, IsBreakOnly, IsComment.
//
//   TextString s("ff", 0);
//   s.IsHexNumber();           // 1; s.IsNumber() is 0
//   s.MakeUpper();             // "FF", in place
//   TextString("  ; note", 0).IsComment();  // 1
//
// Encodings (TextStringEncoding.cpp): Utf8ToAnsi, AnsiToUtf8, IsUtf8.
//
//   TextString s("Gr\xC3\xBCn", 0);  // UTF-8
//   s.IsUtf8(s.GetText());           // 1
//   s.Utf8ToAnsi();                  // "Gr\xFCn", in the same buffer
//   s.AnsiToUtf8();                  // "Gr\xC3\xBCn" again
//
// Entity references and URL escapes (TextStringEntities.cpp):
// DecodeEntities, EncodeEntities, ProtectEntities, EscapeUrlChars.
//
//   TextString s("\xC4 & \xF6", 0);
//   s.EncodeEntities();        // "&Auml; &amp; &ouml;"
//   s.DecodeEntities();        // "\xC4 & \xF6" again
//   TextString u("50% off", 0);
//   u.EscapeUrlChars();        // "50%25 off"
//
// The declaration order below is the order of the virtual table and part of
// the class's contract: subclasses append their own operations after
// ProtectEntities. Do not reorder, insert or remove virtual functions.
class TextString : public ObjectBase {
 public:
  // Builds a string that always has a buffer: Assign(text, minSize), or the
  // empty text with capacity 260 when `text` is null (`minSize` then unused).
  explicit TextString(const char* text = nullptr, unsigned minSize = 260);

  // Strings are never copied whole: copy the text instead, with
  // TextString(other.GetText(), 260) or operator=.
  TextString(const TextString&) = delete;

  // ~TextString: releases the buffer.
  ~TextString() override;

  // Compare: orders this string against `other`, which must be a TextString
  // or null; any other object is taken as null.
  //  - `byLength` 1: by unsigned length: -1, 0 or 1. A null `other` gives 1
  //    when this string is non-empty, else 0.
  //  - any other `byLength`: by text. Against a null `other` or one without a
  //    buffer: 1 when this string has a buffer (even an empty one), else 0.
  //    Without a buffer against one with a buffer: -1. Otherwise strcmp of
  //    the two texts (bytes as unsigned; negative, 0 or positive).
  int Compare(const ObjectBase* other, int byLength) const override;

  // Assign: replaces the text by a copy of `text`.
  //  - null `text`: the text becomes empty. An existing buffer is kept whole
  //    (only its first byte is written); without one a zeroed 20-byte buffer
  //    is made. `minSize` is then unused.
  //  - otherwise, with L = strlen(text): need = L + 1 when minSize < L, else
  //    minSize. When need >= capacity (always without a buffer) the buffer
  //    is replaced by a zeroed one of need + 1 bytes; otherwise it is kept
  //    and the bytes after the new terminator stay as they were.
  //  - a `need` whose buffer would not fit 32 bits changes nothing.
  virtual const char* Assign(const char* text, unsigned minSize);

  // AssignN: the first `count` bytes of `text` (all of it when shorter).
  // Null `text` behaves as Assign(nullptr, ...). When count >= capacity the
  // buffer is replaced by one of exactly count + 1 bytes. The whole buffer,
  // old or new, is zeroed first, so no earlier bytes survive. A count of
  // 0xFFFFFFFF (no room for a terminator) changes nothing.
  virtual const char* AssignN(const char* text, unsigned count);

  // Clear: zeroes the first capacity bytes; the text becomes empty and the
  // buffer stays. Nothing happens without a buffer. Returns 1.
  virtual int Clear();

  // GetAt: the byte at `index` of the buffer, also past the terminator, for
  // index <= capacity; 0 without a buffer or for a larger index.
  virtual char GetAt(unsigned index) const;

  virtual TextString& operator=(const char* text);          // Assign(text, 0)
  virtual TextString& operator=(const TextString& other);   // Assign(other.GetText(), 0)
  virtual TextString& operator+=(const char* text);         // Append(text)
  virtual TextString& operator+=(const TextString& other);  // Append(other.GetText())
  virtual int operator==(const char* text) const;           // IsEqual(text, 1)
  virtual int operator==(const TextString& other) const;    // IsEqual(other.GetText(), 1)
  virtual int operator!=(const char* text) const;           // !IsEqual(text, 1)
  virtual int operator!=(const TextString& other) const;    // !IsEqual(other.GetText(), 1)

  // Append: adds `text` after the current text; a null `text` changes
  // nothing. need = length + strlen(text) + 1. When need >= capacity the
  // buffer is replaced by one of exactly `need` bytes (no spare room, and
  // possibly one byte smaller than before); otherwise it is kept. Appending
  // "" can therefore replace the buffer, and without a buffer creates a
  // 1-byte one holding the empty text.
  virtual const char* Append(const char* text);

  // GetText: the `text` pointer, null without a buffer.
  virtual char* GetText() const;

  // LengthOf: strlen of any text; 0 for null. Does not look at the object.
  virtual unsigned LengthOf(const char* text) const;

  // GetLength: the length of the text, measured now; 0 without a buffer.
  virtual unsigned GetLength() const;

  // GetCapacity: size - 1, the longest text the buffer holds; 0 without one.
  virtual unsigned GetCapacity() const;

  // HasSpace: 1 when the text holds a space byte (0x20); tabs do not count.
  virtual int HasSpace() const;

  // IsBlank: 1 without a buffer, for the empty text, and for a text of
  // nothing but tab, line feed, carriage return and space; else 0.
  virtual int IsBlank() const;

  // FindIn: the first occurrence of `what` in `text` (any text, not the
  // string's own), exact or ASCII-folded. Null when `text` is null or
  // empty, or `what` is null; an empty `what` matches at `text` itself. The
  // result always points into the caller's `text`.
  virtual char* FindIn(const char* text, const char* what, int caseSensitive) const;

  // Find: FindIn over the string's own text; null without a buffer.
  virtual char* Find(const char* what, int caseSensitive) const;

  // EndsWith: 1 when the text ends with `other` (with `reversed` non-zero:
  // when `other` ends with the text). An empty ending gives 1. 0 without a
  // buffer or with a null `other`.
  virtual int EndsWith(const char* other, int caseSensitive, int reversed) const;

  // IsEqual: 1 when the texts are equal (exact or ASCII-folded); 0 when
  // either side has no text.
  virtual int IsEqual(const char* text, int caseSensitive) const;

  // IsComment: 1 when the first byte that is not a space, tab, carriage
  // return or line feed is ';'. 0 without a buffer. The string is unchanged.
  virtual int IsComment() const;

  // ExpandTabs: every tab becomes exactly `width` spaces (no tab stops);
  // width 0 deletes tabs. Buffer rule of ReplaceAll. A result too large for
  // the 32-bit size changes nothing.
  virtual const char* ExpandTabs(unsigned width);

  // RemoveWhitespace: removes every space, tab, carriage return and line
  // feed (vertical tab and form feed stay). Leaves what four ReplaceAll
  // passes (space, tab, CR, LF) would, buffer rule included, in one pass.
  virtual const char* RemoveWhitespace();

  // TrimLeft: removes leading spaces and tabs (a line feed stops the run).
  // The rest is stored back with Assign(rest, 0).
  virtual const char* TrimLeft();

  // TrimRight: removes trailing spaces and tabs in place.
  virtual const char* TrimRight();

  // Remove / Replace / ReplaceCase: ReplaceAll(what, "", 0, null),
  // ReplaceAll(what, with, 0, count) and ReplaceAll(what, with, 1, count).
  // Remove and Replace therefore ignore ASCII case, while ReplaceCase,
  // whatever its name suggests, is the exact one: it replaces only what
  // matches `what` byte for byte.
  virtual const char* Remove(const char* what);
  virtual const char* Replace(const char* what, const char* with, unsigned* count);
  virtual const char* ReplaceCase(const char* what, const char* with, unsigned* count);

  // TrimRightChar: `c` 0 removes the last byte, whatever it is. Otherwise
  // removes a last byte equal to `c`, and with `all` non-zero the whole
  // trailing run of `c`. In place.
  virtual const char* TrimRightChar(char c, int all);

  // TrimLeftChar: `c` 0 removes the first byte; otherwise a leading run of
  // `c` is removed whole. The rest is stored back with Assign(rest, 0).
  virtual const char* TrimLeftChar(char c);

  // TrimLeftSet: removes the leading bytes found in `set` (ASCII case
  // folded); a text of set bytes only becomes empty. A null set, or one of
  // only blanks (see IsBlank), trims nothing. Stored back with Assign.
  virtual const char* TrimLeftSet(const char* set);

  // TrimRightSet: removes trailing bytes found in `set` (ASCII case folded)
  // in place, but never the first byte of the text.
  virtual const char* TrimRightSet(const char* set);

  // Format / AppendFormat: replace the text by (or append) printf-style
  // output. A null `format` changes nothing. The whole result is always
  // produced, however long. Work in a scratch buffer of max(800, n + n/10)
  // bytes (n = strlen(format)) when the result fits it, else in one of
  // exactly the result's size. The text is then stored with Assign(out, 0)
  // or Append(out).
  virtual const char* Format(const char* format, ...) TEXTSTRING_PRINTF(2, 3);
  virtual const char* AppendFormat(const char* format, ...) TEXTSTRING_PRINTF(2, 3);

  // MakeUpper / MakeLower: ASCII letters only, in place; null without a
  // buffer.
  virtual char* MakeUpper();
  virtual char* MakeLower();

  // IsHexNumber / IsNumber / IsBreakOnly: 1 when every byte is a hex digit /
  // a decimal digit / a tab, line feed or carriage return. All three give 1
  // for the empty text and without a buffer.
  virtual int IsHexNumber() const;
  virtual int IsNumber() const;
  virtual int IsBreakOnly() const;

  // Utf8ToAnsi: converts the text from UTF-8 to the ANSI code page, only
  // when IsUtf8 says it is UTF-8; any other text stays as it is and the
  // text is returned (same pointer). Characters the code page lacks come
  // out as the system converts them ('?' or a look-alike). The result is
  // stored with Assign(converted, 0): the buffer is kept when the converted
  // text is at least two bytes shorter than the capacity, and otherwise
  // replaced. Returns the text.
  //  - without a buffer: null, nothing done;
  //  - on failure (memory for the conversion runs out, or the system cannot
  //    convert): null, with the text and the buffer as they were.
  virtual const char* Utf8ToAnsi();

  // AnsiToUtf8: converts the text from the ANSI code page to UTF-8,
  // whatever it holds (UTF-8 input is encoded a second time). Result,
  // buffer rule and failures as for Utf8ToAnsi; a byte from 0x80 up
  // becomes two or three, so such a text grows.
  virtual const char* AnsiToUtf8();

  // IsUtf8: 1 when `text` holds at least one complete multi-byte UTF-8
  // sequence and nothing invalid (a sequence cut short by the terminator is
  // neither). ASCII control bytes other than 07-0A, 0C, 0D, 1B give 0.
  // 0 for null. Does not look at the object.
  virtual int IsUtf8(const char* text) const;

  // TruncateAt: writes a terminator at `index` when index <= capacity and
  // returns 1; otherwise writes nothing and returns 0.
  virtual int TruncateAt(unsigned index);

  // Count: the occurrences of `what`, overlapping ones included ("aa" is in
  // "aaaa" three times); an empty `what` counts every byte. 0 without a
  // buffer or for a null `what`.
  virtual int Count(const char* what, int caseSensitive) const;

  // DecodeEntities: decodes the 42 named references of the entity table
  // (exact case) and then "&amp;" (one level deep). Semicolons of references
  // that stay undecoded become commas (see ProtectEntities) unless every '&'
  // begins "&amp" (ASCII case folded). Leaves exactly what one ReplaceCase
  // per reference, then ProtectEntities and ReplaceCase("&amp;", "&") would
  // leave, stale bytes included, though it scans the text only a few
  // times; since every replacement shrinks the text, the buffer is always
  // kept. Returns the text; null without a buffer. Cannot fail.
  virtual const char* DecodeEntities();

  // EncodeEntities: '&' becomes "&amp;", then each byte of the entity table
  // its reference: the result of one ReplaceCase each, in that order
  // (written in one pass), so the buffer is replaced whenever a step's
  // result would no longer fit it (ReplaceAll's rule).
  // A step whose result would not fit 32 bits leaves the text as it found
  // it, and the later steps still run. Returns the text; null without a
  // buffer.
  virtual const char* EncodeEntities();

  // EscapeUrlChars: '#', '$', '%', '&', '+' become "%23", "%24", "%25",
  // "%26", "%2B", each exactly once ('%' is escaped first). Buffer rule,
  // result and the 32-bit limit as for EncodeEntities.
  virtual const char* EscapeUrlChars();

  // Free: releases the buffer; the string is then without one. Returns 1.
  virtual int Free();

  // ReplaceAll: replaces every occurrence of `what` by `with`, left to right
  // without overlap; the inserted text is never searched again. `*count`
  // (when given) receives the number of replacements, 0 when nothing
  // changed. Null `what` or `with`, an empty `what`, or no match change
  // nothing. When the result with its terminator is shorter than the
  // capacity, the buffer is kept (zeroed up to the capacity, then filled);
  // otherwise it is replaced by one of exactly result-length + 1 bytes.
  // Null without a buffer.
  virtual const char* ReplaceAll(const char* what, const char* with, int caseSensitive,
                                 unsigned* count);

  // ProtectEntities: makes the semicolons of references that stay undecoded
  // harmless, in place, in two passes. First, for every "&#", the first ';'
  // among the 3rd to 6th bytes after its '&' becomes ','. Then, from the
  // start: each '&' that does not begin "&amp;" (ASCII case folded) turns
  // the first ';' after it into ',', and the search for the next '&'
  // resumes at that ','. Never reads past the terminator and never replaces
  // the buffer; without one it does nothing. Always returns null.
  virtual char* ProtectEntities();

 protected:
  char* text;
  uint32_t size;
  uint32_t lastError;
  int32_t errorCode;

  // ---- Implementation details below; not part of the contract. ----

  // A zeroed buffer of `bytes` bytes from the global allocation operator.
  static char* AllocateZeroed(uint32_t bytes);
  // Releases the current buffer (through Free) and keeps `buffer`, which is
  // exactly `bytes` long, in its place.
  void Adopt(char* buffer, uint32_t bytes);
};

#endif  // STRINGS_TEXTSTRING_H_
