#ifndef STRINGS_INTERNAL_FOLDEDCOMPARE_H_
#define STRINGS_INTERNAL_FOLDEDCOMPARE_H_

#include <cstddef>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// FoldedEqual: whether the `length` bytes at `a` and at `b` are equal after
// ASCII case folding (bytes from 0x80 up only ever equal themselves). Reads
// exactly those bytes and no others: the caller has measured both. On
// x86-64 it takes 64 bytes a step where the processor has AVX2 (chosen at
// run time), elsewhere a machine word; built for size, a byte.
bool FoldedEqual(const char* a, const char* b, size_t length);

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_FOLDEDCOMPARE_H_
