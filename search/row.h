// What a lottery row is, for the search and for the companion alike: the
// program's rows hold kNumbersInRow distinct numbers from 1 to
// kLargestNumber, and a set of numbers from 1 to 64 is one RowMask, bit n - 1
// standing for the number n, so that two sets share popcount(a & b) numbers.
// Every mask of rows in the project follows this one convention.

#ifndef ERILAISETRIVIT_SEARCH_ROW_H_
#define ERILAISETRIVIT_SEARCH_ROW_H_

#include <cstdint>

#include "runtime/value.h"

namespace search {

// The numbers in a row; also how much of a stored row montaoikein reads.
inline constexpr rt::Integer kNumbersInRow = 7;
inline constexpr rt::Integer kLargestNumber = 40;

using RowMask = std::uint64_t;
inline constexpr int kMaskNumbers = 64;

// The mask of the number n. REQUIRES: 1 <= n <= kMaskNumbers.
constexpr RowMask number_bit(rt::Integer n) { return RowMask{1} << (n - 1); }

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_ROW_H_
