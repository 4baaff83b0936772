// What the files of the overlap kernel's paths share: the loop that counts
// one row at a time, and the kernels and CPU checks that each file of an
// instruction set defines for the table of paths (overlap.cpp). Each of those
// files is built only for the targets whose CPUs can have its instructions.

#ifndef ERILAISETRIVIT_SEARCH_OVERLAP_KERNELS_H_
#define ERILAISETRIVIT_SEARCH_OVERLAP_KERNELS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "search/row_index.h"

namespace search {

// The bits of a word, counted in plain C++: the counts of bit pairs, then of
// half-bytes, then of bytes, summed by the multiplication into the top byte.
inline int bits_in_word(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555U;
  x = (x & 0x3333333333333333U) + ((x >> 2) & 0x3333333333333333U);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FU;
  return static_cast<int>((x * 0x0101010101010101U) >> 56);
}

// One row at a time, four running maxima so that a count need not wait for
// the comparison of the one before it. Inlined into each caller, so that the
// built-in count becomes the instruction that the caller's target allows.
template <bool kPopcntInstruction>
[[gnu::always_inline]] inline int largest_overlap_by_word(const RowMask* rows, std::size_t count, RowMask candidate) {
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

// overlap_x86.cpp, for x86 and x86-64 targets: AVX-512 with its 64-bit
// population count, AVX2, and the scalar POPCNT instruction.
bool cpu_runs_avx512();
bool cpu_runs_avx2();
bool cpu_runs_popcnt();
int largest_overlap_avx512(const RowMask* rows, std::size_t count, RowMask candidate);
int largest_overlap_avx2(const RowMask* rows, std::size_t count, RowMask candidate);
int largest_overlap_popcnt(const RowMask* rows, std::size_t count, RowMask candidate);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_OVERLAP_KERNELS_H_
