#include "search/overlap.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#if defined(__x86_64__) || defined(__i386__)
#define ERILAISETRIVIT_X86 1
#include <immintrin.h>
#endif

namespace search {

namespace {

// Every path: the largest population count of candidate AND rows[i] for i
// below count, 0 for none.
using Kernel = int (*)(const RowMask* rows, std::size_t count, RowMask candidate);

// The bits of a word, counted in plain C++: the counts of bit pairs, then of
// half-bytes, then of bytes, summed by the multiplication into the top byte.
int bits_in_word(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555U;
  x = (x & 0x3333333333333333U) + ((x >> 2) & 0x3333333333333333U);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FU;
  return static_cast<int>((x * 0x0101010101010101U) >> 56);
}

// One row at a time, four running maxima so that a count need not wait for
// the comparison of the one before it. Inlined into each caller, so that the
// built-in count becomes the instruction that the caller's target allows.
template <bool kPopcntInstruction>
[[gnu::always_inline]] inline int most_shared_by_word(const RowMask* rows, std::size_t count, RowMask candidate) {
  constexpr std::size_t kLanes = 4;
  int most[kLanes] = {};
  std::size_t i = 0;
  const auto shared = [candidate](RowMask row) {
    if constexpr (kPopcntInstruction) {
      return __builtin_popcountll(row & candidate);
    } else {
      return bits_in_word(row & candidate);
    }
  };
  for (; i + kLanes <= count; i += kLanes) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) most[lane] = std::max(most[lane], shared(rows[i + lane]));
  }
  for (; i < count; ++i) most[0] = std::max(most[0], shared(rows[i]));
  return *std::max_element(std::begin(most), std::end(most));
}

int most_shared_portable(const RowMask* rows, std::size_t count, RowMask candidate) {
  return most_shared_by_word<false>(rows, count, candidate);
}

#ifdef ERILAISETRIVIT_X86

[[gnu::target("popcnt")]] int most_shared_popcnt(const RowMask* rows, std::size_t count, RowMask candidate) {
  return most_shared_by_word<true>(rows, count, candidate);
}

// The kernels below keep every vector in a register and load with unaligned
// loads: the Windows ABI gives no stack alignment beyond 16 bytes, which a
// spilled 32- or 64-byte vector would need. The last rows come in through a
// masked load, which reads nothing past the end and gives zeros, which count
// no bits, in the lanes left over.

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

// Eight rows a pass into two running maxima, so that a maximum need not wait
// for the one before it.
[[gnu::target("avx2")]] int most_shared_avx2(const RowMask* rows, std::size_t count, RowMask candidate) {
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
[[gnu::target("avx512f,avx512vpopcntdq")]] int most_shared_avx512(const RowMask* rows, std::size_t count,
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

#endif  // ERILAISETRIVIT_X86

Kernel kernel_of(OverlapPath path) {
  switch (path) {
#ifdef ERILAISETRIVIT_X86
    case OverlapPath::kAvx512:
      return most_shared_avx512;
    case OverlapPath::kAvx2:
      return most_shared_avx2;
    case OverlapPath::kPopcnt:
      return most_shared_popcnt;
#endif
    default:
      return most_shared_portable;
  }
}

// Null until the first count or a forced path.
constinit Kernel g_kernel = nullptr;
constinit OverlapPath g_path = OverlapPath::kPortable;

void take(OverlapPath path) {
  g_path = path;
  g_kernel = kernel_of(path);
}

}  // namespace

std::string_view overlap_path_name(OverlapPath path) {
  switch (path) {
    case OverlapPath::kAvx512:
      return "avx512";
    case OverlapPath::kAvx2:
      return "avx2";
    case OverlapPath::kPopcnt:
      return "popcnt";
    case OverlapPath::kPortable:
      return "portable";
  }
  return "portable";
}

bool cpu_runs(OverlapPath path) {
  if (path == OverlapPath::kPortable) return true;
#ifdef ERILAISETRIVIT_X86
  // The library's view of the CPU, which also asks whether the operating
  // system saves the wide registers.
  __builtin_cpu_init();
  switch (path) {
    case OverlapPath::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq");
    case OverlapPath::kAvx2:
      return __builtin_cpu_supports("avx2");
    case OverlapPath::kPopcnt:
      return __builtin_cpu_supports("popcnt");
    case OverlapPath::kPortable:
      return true;
  }
#endif
  return false;
}

int most_shared(std::span<const RowMask> rows, RowMask candidate) {
  if (g_kernel == nullptr) overlap_path();
  return g_kernel(rows.data(), rows.size(), candidate);
}

OverlapPath overlap_path() {
  if (g_kernel == nullptr) take(*std::find_if(std::begin(kOverlapPaths), std::end(kOverlapPaths), cpu_runs));
  return g_path;
}

bool force_overlap_path(OverlapPath path) {
  if (!cpu_runs(path)) return false;
  take(path);
  return true;
}

}  // namespace search
