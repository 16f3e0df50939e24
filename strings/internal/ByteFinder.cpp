#include "strings/internal/ByteFinder.h"

namespace strings_internal {

namespace {

constexpr ptrdiff_t kBlock = 64;

// Bit i set when block[i] is `byte`, for the kBlock bytes at `block`.
uint64_t MaskOf(const char* block, char byte) {
  uint64_t mask = 0;
  for (ptrdiff_t i = 0; i < kBlock; ++i) mask |= uint64_t{block[i] == byte} << i;
  return mask;
}

// The number of bits set, without relying on an instruction the target may
// lack.
unsigned BitCount(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ULL;
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<unsigned>((x * 0x0101010101010101ULL) >> 56);
}

// The lowest bit set; for 0, some value below 64.
unsigned LowestBit(uint64_t mask) {
#if defined(__GNUC__)
  return static_cast<unsigned>(__builtin_ctzll(mask | uint64_t{1} << 63));
#else
  unsigned bit = 0;
  for (; bit < 63 && (mask & 1) == 0; mask >>= 1) ++bit;
  return bit;
#endif
}

}  // namespace

size_t FindByteOffsets(const char* origin, const char* begin, const char* end, char byte,
                       uint32_t* offsets) {
  uint32_t* out = offsets;
  const char* block = begin;
  for (; end - block >= kBlock; block += kBlock) {
    uint64_t mask = MaskOf(block, byte);
    const uint32_t base = static_cast<uint32_t>(block - origin);
    uint32_t* const next = out + BitCount(mask);
    // Eight places a round whether the block has them or not: a block
    // rarely has more, so the loop is left where the predictor expects.
    for (;; out += 8) {
#if defined(__GNUC__)
#pragma GCC unroll 8
#endif
      for (int i = 0; i < 8; ++i) {
        out[i] = base + LowestBit(mask);
        mask &= mask - 1;
      }
      if (mask == 0) break;
    }
    out = next;
  }
  for (; block != end; ++block) {
    *out = static_cast<uint32_t>(block - origin);
    out += *block == byte ? 1 : 0;
  }
  return static_cast<size_t>(out - offsets);
}

}  // namespace strings_internal
