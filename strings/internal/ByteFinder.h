#ifndef STRINGS_INTERNAL_BYTEFINDER_H_
#define STRINGS_INTERNAL_BYTEFINDER_H_

#include <cstddef>
#include <cstdint>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// ByteFinder: the places of one byte in [begin, end), in increasing order,
// found 64 bytes at a time as a bit mask. Meant for bytes that come every
// few dozen bytes, where a memchr call per place costs more than the scan.
// Reads nothing outside [begin, end). A block's mask is taken when the
// search first reaches it: the caller may change bytes before the last
// place returned, never after it.
class ByteFinder {
 public:
  ByteFinder(const char* begin, const char* end, char byte)
      : end_(end), byte_(byte), block_(begin), mask_(MaskOf(begin)) {}

  // Next: the first place of the byte at or after `from`, or `end`. Each
  // `from` must be at least the one before.
  const char* Next(const char* from) {
    if (from - block_ >= kBlock) {
      block_ = from;
      mask_ = MaskOf(from);
    } else {
      mask_ &= ~uint64_t{0} << (from - block_);
    }
    while (mask_ == 0) {
      if (end_ - block_ <= kBlock) return end_;
      block_ += kBlock;
      mask_ = MaskOf(block_);
    }
    return block_ + LowestBit(mask_);
  }

 private:
  static constexpr ptrdiff_t kBlock = 64;

  static unsigned LowestBit(uint64_t mask) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(mask));
#else
    unsigned bit = 0;
    for (; (mask & 1) == 0; mask >>= 1) ++bit;
    return bit;
#endif
  }
  // Bit i set when block[i] is the byte, for the part of the block before end.
  uint64_t MaskOf(const char* block) const;

  const char* end_;
  char byte_;
  const char* block_;
  uint64_t mask_;
};

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_BYTEFINDER_H_
