#ifndef STRINGS_INTERNAL_ENTITYTABLE_H_
#define STRINGS_INTERNAL_ENTITYTABLE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

class TextString;

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// EntityRow: a named character reference and the Windows-1252 byte it
// stands for.
struct EntityRow {
  const char* reference;  // "&ouml;"
  char byte;              // '\xF6'
};

// EntityTable: the references that DecodeEntities and EncodeEntities know,
// in the order both walk them.
extern const std::array<EntityRow, 42> EntityTable;

// The longest reference of the table, "&Ccedil;".
constexpr size_t kLongestReference = 8;

// ReferenceIndex: the table's references by the two bytes after the '&',
// which already tell all 42 apart. The multiplier of ReferenceSlot was
// chosen so that no two references share one of the 128 slots: a lookup is
// one slot and one comparison of the whole reference, with no search for
// its ';'. Row 0 holds no reference: it stands for an ampersand that stays,
// with length 0 and byte '&'.
struct ReferenceIndex {
  uint8_t rowOf[128] = {};
  uint64_t patterns[1 + 42] = {};  // the reference's bytes, the first lowest
  uint64_t masks[1 + 42] = {};     // a byte of 0xFF for each byte of it
  const char* references[1 + 42] = {};
  uint8_t lengths[1 + 42] = {};
  char bytes[1 + 42] = {};
  bool shared = false;  // two references in one slot (checked at compile time)
};
extern const ReferenceIndex EntityReferenceIndex;

constexpr unsigned ReferenceSlot(unsigned char first, unsigned char second) {
  return static_cast<unsigned>(((first | second << 8) * uint32_t{0x31162427}) >> 25);
}

// ReferenceRowOf: the row of the table's reference that begins at
// `ampersand` (a '&') in the text that ends at `end`, or 0 when none does.
// Reads nothing past the terminator. Inline: decoding calls it for every
// ampersand.
inline unsigned ReferenceRowOf(const char* ampersand, const char* end) {
  const ReferenceIndex& index = EntityReferenceIndex;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (end - ampersand >= static_cast<ptrdiff_t>(kLongestReference)) {
    // All the bytes a reference can span are in the text: one load, and no
    // branch on the outcome, since decoding meets a reference that stays
    // about as often as one that does not, which no predictor guesses.
    uint64_t bytes;
    std::memcpy(&bytes, ampersand, sizeof bytes);
    const unsigned row = index.rowOf[ReferenceSlot(static_cast<unsigned char>(bytes >> 8),
                                                   static_cast<unsigned char>(bytes >> 16))];
    // All ones when the bytes are the reference, else 0; written as
    // arithmetic, since compilers turn a comparison here into a branch.
    const uint64_t differ = (bytes & index.masks[row]) ^ index.patterns[row];
    const uint64_t same = ((differ | (0 - differ)) >> 63) - 1;
    return row & static_cast<unsigned>(same);
  }
#endif
  (void)end;
  if (ampersand[1] == '\0') return 0;
  const unsigned row = index.rowOf[ReferenceSlot(static_cast<unsigned char>(ampersand[1]),
                                                 static_cast<unsigned char>(ampersand[2]))];
  // Stops at the first byte that differs, the terminator included.
  const char* reference = index.references[row];
  for (size_t i = 0; row != 0 && reference[i] != '\0'; ++i) {
    if (ampersand[i] != reference[i]) return 0;
  }
  return row;
}

// Texts up to this length cannot reach the 32-bit limit in any of
// EncodeEntities' passes (a byte becomes at most kLongestReference bytes).
constexpr uint64_t kLongestPlannedEncoding = (UINT32_MAX - 1) / kLongestReference;

// EncodePassByPass: EncodeEntities as its passes, one ReplaceCase each, for
// a text so long that some pass might not fit 32 bits and so do nothing:
// then no pass can be planned from the others. Ampersands first, so that
// those of the inserted references stay single.
void EncodePassByPass(TextString* s);

// CloseNumericReference: ProtectEntities' first pass at one "&#": the
// first ';' three to six places after the ampersand (a body of one to four
// bytes) becomes ','; stops at the terminator.
void CloseNumericReference(char* ampersand);

// EntityEncoding: what EncodeEntities makes of each byte. rowOf[byte] is 0
// for a byte that stays, else the row of its reference in `references`:
// "&amp;" for '&', the table's reference for a byte of the table. Each
// reference is padded with zeroes to kLongestReference bytes, so that a
// writer may copy that many at once; row 0 is all zeroes. lengths[byte] is
// what the byte becomes: 1, or its reference's length.
struct EntityEncoding {
  uint8_t rowOf[256] = {};
  char references[2 + 42][kLongestReference] = {};
  uint8_t lengths[256] = {};
};
extern const EntityEncoding EntityEncodingTable;

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_ENTITYTABLE_H_
