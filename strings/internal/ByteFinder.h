#ifndef STRINGS_INTERNAL_BYTEFINDER_H_
#define STRINGS_INTERNAL_BYTEFINDER_H_

#include <cstddef>
#include <cstdint>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// The room that FindByteOffsets may write past the last place it reports.
constexpr size_t kByteOffsetsSlack = 8;

// FindByteOffsets: writes to `offsets`, in increasing order, the offset from
// `origin` of each `byte` in [begin, end), and returns how many there are.
// Meant for bytes that come every few dozen bytes, where a memchr call per
// place costs more than the scan: the bytes are compared 64 at a time and
// each place is written without a branch, so `offsets` must have room for
// (end - begin) + kByteOffsetsSlack entries. Reads nothing outside
// [begin, end); offsets must fit 32 bits.
size_t FindByteOffsets(const char* origin, const char* begin, const char* end, char byte,
                       uint32_t* offsets);

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_BYTEFINDER_H_
