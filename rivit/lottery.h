// The companion's row vocabulary. A lottery: rows of `length` distinct
// numbers from 1 to `numbers`, and draws of as many. The program's own search
// plays 7 of 40; the companion reads, judges and makes rows for any lottery
// within the limits below. A row is its numbers in the order they were drawn
// or written, and the same row as a set mask (search/row.h: bit n - 1 for the
// number n, so that 64 numbers fit one word and two rows share
// popcount(a & b) numbers).

#ifndef ERILAISETRIVIT_RIVIT_LOTTERY_H_
#define ERILAISETRIVIT_RIVIT_LOTTERY_H_

#include <bit>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "search/row.h"

namespace rivit {

using search::number_bit;
using search::RowMask;
using Row = std::vector<int>;

inline constexpr int kMostNumbers = search::kMaskNumbers;
inline constexpr int kShortestRow = 2;
inline constexpr int kLongestRow = 10;

struct Lottery {
  // The program's own lottery unless set otherwise.
  int numbers = static_cast<int>(search::kLargestNumber);  // a number is from 1 to `numbers`
  int length = static_cast<int>(search::kNumbersInRow);    // the numbers in a row, and in a draw

  friend bool operator==(const Lottery&, const Lottery&) = default;
};

// A wheel's guarantee (wheel.h, guarantee.h): at least `right` right whenever
// at least `if_drawn` of the drawn numbers are in the pool.
struct Guarantee {
  int right = 3;
  int if_drawn = 3;
};

// The program's own lottery, which its search plays.
inline constexpr Lottery kProgramLottery{};

// True when kShortestRow <= length <= kLongestRow and length < numbers <= kMostNumbers.
constexpr bool within_limits(Lottery lottery) {
  return lottery.length >= kShortestRow && lottery.length <= kLongestRow && lottery.length < lottery.numbers &&
         lottery.numbers <= kMostNumbers;
}

// What is wrong with a lottery outside the limits, as the fronts say it;
// nothing for one within them.
inline std::optional<std::string> lottery_problem(Lottery lottery) {
  // Appended, not added to a literal, which GCC 12 at -O3 takes for an
  // overlapping copy.
  std::string problem;
  if (lottery.length < kShortestRow || lottery.length > kLongestRow) {
    return problem.append("a row has ")
        .append(std::to_string(kShortestRow))
        .append(" to ")
        .append(std::to_string(kLongestRow))
        .append(" numbers, not ")
        .append(std::to_string(lottery.length));
  }
  if (lottery.numbers <= lottery.length || lottery.numbers > kMostNumbers) {
    return problem.append("a lottery of rows of ")
        .append(std::to_string(lottery.length))
        .append(" has ")
        .append(std::to_string(lottery.length + 1))
        .append(" to ")
        .append(std::to_string(kMostNumbers))
        .append(" numbers, not ")
        .append(std::to_string(lottery.numbers));
  }
  return std::nullopt;
}

// REQUIRES: every number of `row` is from 1 to kMostNumbers.
inline RowMask mask_of(const Row& row) {
  RowMask mask = 0;
  for (const int n : row) mask |= number_bit(n);
  return mask;
}

// Calls visit(n) for the bit index n (the number n + 1) of every number of
// `mask`, lowest first.
template <typename Visit>
void for_each_number(RowMask mask, Visit visit) {
  for (; mask != 0; mask &= mask - 1) visit(std::countr_zero(mask));
}

// Every number of the lottery.
constexpr RowMask all_numbers(Lottery lottery) {
  return lottery.numbers == kMostNumbers ? ~RowMask{0} : (RowMask{1} << lottery.numbers) - 1;
}

// The numbers of `mask` in ascending order.
inline Row row_of(RowMask mask) {
  Row row;
  for_each_number(mask, [&row](int n) { row.push_back(n + 1); });
  return row;
}

inline int shared_numbers(RowMask a, RowMask b) { return std::popcount(a & b); }

// C(n, k), the number of k-number rows or draws from n numbers; 0 for k < 0
// or k > n. Exact wherever the result fits 64 bits (C(80, 20) of Keno
// does): each step's factor shares its divisor's common part with the
// result so far, so no step passes the result.
constexpr std::uint64_t choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  std::uint64_t result = 1;
  for (int i = 1; i <= k; ++i) {
    const auto divisor = static_cast<std::uint64_t>(i);
    const std::uint64_t common = std::gcd(result, divisor);
    result = (result / common) * (static_cast<std::uint64_t>(n - k + i) / (divisor / common));
  }
  return result;
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_LOTTERY_H_
