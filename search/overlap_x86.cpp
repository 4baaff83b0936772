// The paths of the overlap kernel for x86 and x86-64 CPUs (overlap_kernels.h):
// the scalar POPCNT instruction, AVX2 and AVX-512. Each kernel is compiled
// for its instructions alone, so the rest of the program keeps to the
// platform's baseline; the table of paths runs a kernel only once its check
// has found the instructions. On i686 the POPCNT kernel counts each 64-bit
// row as two 32-bit halves, the widest count that the instruction has there.

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "search/overlap_kernels.h"

namespace search {

// The library's view of the CPU, which also asks whether the operating system
// saves the wide registers. The library is told to look first: a check may
// run among the program's constructors, before the library has looked.
bool cpu_runs_avx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq");
}
bool cpu_runs_avx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
bool cpu_runs_popcnt() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt");
}

[[gnu::target("popcnt")]] int largest_overlap_popcnt(const RowMask* rows, std::size_t count, RowMask candidate) {
  return largest_overlap_by_word<true>(rows, count, candidate);
}

// The kernels below keep every vector in a register and load with unaligned
// loads: the Windows ABI gives no stack alignment beyond 16 bytes, which a
// spilled 32- or 64-byte vector would need. The last rows come in through a
// masked load, which reads nothing past the end and gives zeros, which count
// no bits, in the lanes left over.

namespace {

// Four rows a vector: each half-byte's bits from a 16-entry table, the half
// bytes' counts added into bytes, the bytes of each row summed. The candidate
// comes split into its low and high half-bytes, so that one AND both picks
// its numbers and keeps the table's index within the table.
struct Avx2Candidate {
  __m256i low;   // the low half of each byte of the candidate
  __m256i high;  // the high half, shifted down
};

// Each row's count lands in the low bits of its lane, the rest zero, so a
// 32-bit maximum is the row's.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i shared_counts_avx2(__m256i four,
                                                                              const Avx2Candidate& candidate) {
  const __m256i bits_in_half_byte =
      _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
  const __m256i low = _mm256_shuffle_epi8(bits_in_half_byte, _mm256_and_si256(four, candidate.low));
  const __m256i high =
      _mm256_shuffle_epi8(bits_in_half_byte, _mm256_and_si256(_mm256_srli_epi16(four, 4), candidate.high));
  return _mm256_sad_epu8(_mm256_add_epi8(low, high), _mm256_setzero_si256());
}

}  // namespace

// Eight rows a pass into two running maxima, so that a maximum need not wait
// for the one before it.
[[gnu::target("avx2")]] int largest_overlap_avx2(const RowMask* rows, std::size_t count, RowMask candidate) {
  const __m256i low_half_bytes = _mm256_set1_epi8(0x0F);
  const Avx2Candidate split = {
      _mm256_and_si256(_mm256_set1_epi64x(static_cast<long long>(candidate)), low_half_bytes),
      _mm256_and_si256(_mm256_set1_epi64x(static_cast<long long>(candidate >> 4)), low_half_bytes),
  };
  const auto* const vectors = reinterpret_cast<const __m256i*>(rows);
  __m256i most0 = _mm256_setzero_si256();
  __m256i most1 = most0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    most0 = _mm256_max_epu32(most0, shared_counts_avx2(_mm256_loadu_si256(vectors + i / 4), split));
    most1 = _mm256_max_epu32(most1, shared_counts_avx2(_mm256_loadu_si256(vectors + i / 4 + 1), split));
  }
  const __m256i lane_numbers = _mm256_setr_epi64x(0, 1, 2, 3);
  for (; i < count; i += 4) {
    const __m256i lanes = _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(count - i)), lane_numbers);
    const __m256i four = _mm256_maskload_epi64(reinterpret_cast<const long long*>(rows + i), lanes);
    most0 = _mm256_max_epu32(most0, shared_counts_avx2(four, split));
  }
  most0 = _mm256_max_epu32(most0, most1);
  __m128i half = _mm_max_epu32(_mm256_castsi256_si128(most0), _mm256_extracti128_si256(most0, 1));
  half = _mm_max_epu32(half, _mm_unpackhi_epi64(half, half));
  return _mm_cvtsi128_si32(half);
}

// Eight rows a vector, each counted by one 64-bit population count; four
// vectors a pass into four running maxima, so that a maximum need not wait
// for the one before it. (The maxima are the masked form with every lane
// set: GCC 12's unmasked form warns of an undefined operand.)
[[gnu::target("avx512f,avx512vpopcntdq")]] int largest_overlap_avx512(const RowMask* rows, std::size_t count,
                                                                       RowMask candidate) {
  constexpr __mmask8 kAllLanes = 0xFF;
  const __m512i candidates = _mm512_set1_epi64(static_cast<long long>(candidate));
  __m512i most0 = _mm512_setzero_si512();
  __m512i most1 = most0;
  __m512i most2 = most0;
  __m512i most3 = most0;
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m512i shared0 = _mm512_and_si512(_mm512_loadu_si512(rows + i), candidates);
    const __m512i shared1 = _mm512_and_si512(_mm512_loadu_si512(rows + i + 8), candidates);
    const __m512i shared2 = _mm512_and_si512(_mm512_loadu_si512(rows + i + 16), candidates);
    const __m512i shared3 = _mm512_and_si512(_mm512_loadu_si512(rows + i + 24), candidates);
    most0 = _mm512_mask_max_epu64(most0, kAllLanes, most0, _mm512_popcnt_epi64(shared0));
    most1 = _mm512_mask_max_epu64(most1, kAllLanes, most1, _mm512_popcnt_epi64(shared1));
    most2 = _mm512_mask_max_epu64(most2, kAllLanes, most2, _mm512_popcnt_epi64(shared2));
    most3 = _mm512_mask_max_epu64(most3, kAllLanes, most3, _mm512_popcnt_epi64(shared3));
  }
  for (; i < count; i += 8) {
    const std::size_t left = count - i;
    const auto lanes = static_cast<__mmask8>(left >= 8 ? kAllLanes : (1U << left) - 1);
    const __m512i shared = _mm512_and_si512(_mm512_maskz_loadu_epi64(lanes, rows + i), candidates);
    most0 = _mm512_mask_max_epu64(most0, lanes, most0, _mm512_popcnt_epi64(shared));
  }
  most0 = _mm512_mask_max_epu64(most0, kAllLanes, most0, most1);
  most2 = _mm512_mask_max_epu64(most2, kAllLanes, most2, most3);
  most0 = _mm512_mask_max_epu64(most0, kAllLanes, most0, most2);
  RowMask lane_most[8];
  _mm512_storeu_si512(lane_most, most0);
  return static_cast<int>(*std::max_element(std::begin(lane_most), std::end(lane_most)));
}

}  // namespace search
