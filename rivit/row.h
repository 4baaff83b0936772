// A lottery row as the companion command handles it: the seven numbers in
// the order they were drawn or written, and the same row as a set mask, bit
// n - 1 standing for the number n, for counting shared numbers with one AND.

#ifndef ERILAISETRIVIT_RIVIT_ROW_H_
#define ERILAISETRIVIT_RIVIT_ROW_H_

#include <array>
#include <bit>
#include <cstdint>

#include "search/rows.h"

namespace rivit {

inline constexpr int kNumbersInRow = static_cast<int>(search::kNumbersInRow);
inline constexpr int kLargestNumber = static_cast<int>(search::kLargestNumber);

using Row = std::array<int, kNumbersInRow>;
using RowMask = std::uint64_t;

// REQUIRES: every number of `row` is from 1 to kLargestNumber.
inline RowMask mask_of(const Row& row) {
  RowMask mask = 0;
  for (const int n : row) mask |= RowMask{1} << (n - 1);
  return mask;
}

inline int shared_numbers(RowMask a, RowMask b) { return std::popcount(a & b); }

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_ROW_H_
