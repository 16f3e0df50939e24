#ifndef STRINGS_INTERNAL_ENTITYTABLE_H_
#define STRINGS_INTERNAL_ENTITYTABLE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// ReferenceIndex: the table's references by their bytes after the '&', the
// ';' included, packed into one number with the first byte lowest (as a
// little-endian load gives them), in 128 slots. The multiplier of
// ReferenceSlot was chosen so that no two references share a slot: a
// lookup is one slot and one comparison.
struct ReferenceIndex {
  uint8_t rowOf[128] = {};     // the slot's row in keys and bytes, plus 1; 0: none
  uint64_t keys[1 + 42] = {};  // row 0 holds no reference: its key is 0
  char bytes[1 + 42] = {};
  bool shared = false;  // two references in one slot (checked at compile time)
};
extern const ReferenceIndex EntityReferenceIndex;

constexpr unsigned ReferenceSlot(uint64_t key) {
  return static_cast<unsigned>((key * 0xCC011CDD9474031BULL) >> 57);
}

// MatchReference: the length of the table's reference that begins at
// `ampersand` (a '&') in the text that ends at `end`, with `*byte` set to
// the byte it stands for; 0 when none does. Reads nothing past the
// terminator. Inline: decoding calls it for every ampersand.
inline size_t MatchReference(const char* ampersand, const char* end, char* byte) {
  uint64_t key = 0;
  size_t length = 0;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (end - ampersand >= static_cast<ptrdiff_t>(kLongestReference)) {
    // All the bytes a reference can span are in the text: one load finds
    // the ';' without a loop, and the bytes after it are masked off.
    uint64_t bytes;
    std::memcpy(&bytes, ampersand, sizeof bytes);
    const uint64_t x = bytes ^ 0x3B3B3B3B3B3B3B3BULL;  // ';' bytes become zero
    const uint64_t low = 0x7F7F7F7F7F7F7F7FULL;
    // Without a ';' the last byte is taken for one: no key of that length
    // lacks its ';', so nothing matches, and no branch is needed.
    const uint64_t semicolons = ~(((x & low) + low) | x | low) | (uint64_t{1} << 63);
    const unsigned at = static_cast<unsigned>(__builtin_ctzll(semicolons)) / 8;
    key = (bytes >> 8) & ((uint64_t{1} << (8 * at)) - 1);
    length = at + 1;
  }
#endif
  for (size_t at = 1; length == 0 && at < kLongestReference; ++at) {
    const char c = ampersand[at];
    if (c == '\0') return 0;
    key |= uint64_t{static_cast<unsigned char>(c)} << (8 * (at - 1));
    if (c == ';') length = at + 1;
  }
  if (length == 0) return 0;
  // The key holds the ';', so it is never the 0 of an empty slot.
  const unsigned row = EntityReferenceIndex.rowOf[ReferenceSlot(key)];
  *byte = EntityReferenceIndex.bytes[row];
  return EntityReferenceIndex.keys[row] == key ? length : 0;
}

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
