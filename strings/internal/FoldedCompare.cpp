#include "strings/internal/FoldedCompare.h"

#include "strings/internal/Ascii.h"

#if !TEXTSTRING_SMALL_CODE && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define STRINGS_FOLDED_AVX2 1
#endif

namespace strings_internal {

namespace {

// A machine word at a time where the build is for speed; byte by byte where
// it is for size.
bool FoldedEqualByWords(const char* a, const char* b, size_t length) {
  using ascii::word::Word;
  size_t i = 0;
  for (; !TEXTSTRING_SMALL_CODE && i + sizeof(Word) <= length; i += sizeof(Word)) {
    const Word x = ascii::word::Load(a + i);
    const Word y = ascii::word::Load(b + i);
    if (x != y && ascii::word::ToLower(x) != ascii::word::ToLower(y)) return false;
  }
  for (; i < length; ++i) {
    if (ascii::ToLower(a[i]) != ascii::ToLower(b[i])) return false;
  }
  return true;
}

#if defined(STRINGS_FOLDED_AVX2)

// Two bytes are equal folded when they are equal, or when they differ in the
// case bit alone and one of them (then both) is a letter.
__attribute__((target("avx2"))) __m256i FoldedEqualBytes(__m256i x, __m256i y) {
  const __m256i caseBit = _mm256_set1_epi8(0x20);
  const __m256i difference = _mm256_xor_si256(x, y);
  const __m256i same = _mm256_cmpeq_epi8(difference, _mm256_setzero_si256());
  const __m256i caseOnly = _mm256_cmpeq_epi8(difference, caseBit);
  // (x | 0x20) - 'a' below 26, as a signed comparison after moving 'a' to -128.
  const __m256i shifted =
      _mm256_add_epi8(_mm256_or_si256(x, caseBit), _mm256_set1_epi8(static_cast<char>(0x80 - 'a')));
  const __m256i letter = _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(-128 + 26)), shifted);
  return _mm256_or_si256(same, _mm256_and_si256(caseOnly, letter));
}

__attribute__((target("avx2"))) bool FoldedEqualAvx2(const char* a, const char* b, size_t length) {
  constexpr size_t kStep = 64;
  size_t i = 0;
  for (; i + kStep <= length; i += kStep) {
    const __m256i* x = reinterpret_cast<const __m256i*>(a + i);
    const __m256i* y = reinterpret_cast<const __m256i*>(b + i);
    const __m256i first = FoldedEqualBytes(_mm256_loadu_si256(x), _mm256_loadu_si256(y));
    const __m256i second = FoldedEqualBytes(_mm256_loadu_si256(x + 1), _mm256_loadu_si256(y + 1));
    if (_mm256_movemask_epi8(_mm256_and_si256(first, second)) != -1) return false;
  }
  return FoldedEqualByWords(a + i, b + i, length - i);
}

#endif

}  // namespace

bool FoldedEqual(const char* a, const char* b, size_t length) {
#if defined(STRINGS_FOLDED_AVX2)
  if (length >= 64 && __builtin_cpu_supports("avx2")) return FoldedEqualAvx2(a, b, length);
#endif
  return FoldedEqualByWords(a, b, length);
}

}  // namespace strings_internal
