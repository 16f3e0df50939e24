#include "strings/internal/ByteFinder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace strings_internal {

uint64_t ByteFinder::MaskOf(const char* block) const {
  const ptrdiff_t available = end_ - block;
  uint64_t mask = 0;
#if defined(__SSE2__)
  if (available >= kBlock) {
    const __m128i pattern = _mm_set1_epi8(byte_);
    for (int i = 0; i < 4; ++i) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
      const unsigned bits =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern)));
      mask |= uint64_t{bits} << (16 * i);
    }
    return mask;
  }
#endif
  const ptrdiff_t count = available < kBlock ? available : kBlock;
  for (ptrdiff_t i = 0; i < count; ++i) {
    mask |= uint64_t{block[i] == byte_} << i;
  }
  return mask;
}

}  // namespace strings_internal
