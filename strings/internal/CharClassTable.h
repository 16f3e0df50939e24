#ifndef STRINGS_INTERNAL_CHARCLASSTABLE_H_
#define STRINGS_INTERNAL_CHARCLASSTABLE_H_

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// CharClassTable: for each byte value, the kind of text it can occur in.
// IsUtf8 reads the entries below 0x80 only; the rest describe the 8-bit
// character sets all the same.
enum CharClass : unsigned char {
  kCharNeverInText = 0,     // most C0 controls and DEL
  kCharPlainText = 1,       // printable ASCII, the common controls, and 0x85
  kCharIsoText = 2,         // 0xA0 to 0xFF
  kCharExtendedSetText = 3  // the rest of 0x80 to 0x9F
};

extern const unsigned char CharClassTable[256];

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_CHARCLASSTABLE_H_
