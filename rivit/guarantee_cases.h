// For the tests of a guarantee's check (guarantee_test.cpp) and of its
// words (report/guarantee_report_test.cpp): random rows, pools and
// guarantees, each with every m-set of its pool counted against every row,
// the plain way that the check must agree with.

#ifndef ERILAISETRIVIT_RIVIT_GUARANTEE_CASES_H_
#define ERILAISETRIVIT_RIVIT_GUARANTEE_CASES_H_

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "rivit/guarantee.h"
#include "rivit/lottery.h"

namespace rivit {

// Every m-set of the pool, in increasing order, against every row.
struct Plain {
  std::uint64_t sets = 0;
  std::uint64_t failing = 0;
  std::optional<RowMask> example;
};

inline void each_set(const std::vector<int>& pool, std::size_t from, int left, RowMask set,
                     const std::vector<RowMask>& rows, int right, Plain& plain) {
  if (left == 0) {
    ++plain.sets;
    for (const RowMask row : rows) {
      if (std::popcount(row & set) >= right) return;
    }
    ++plain.failing;
    if (!plain.example) plain.example = set;
    return;
  }
  for (std::size_t i = from; i + static_cast<std::size_t>(left) <= pool.size(); ++i) {
    each_set(pool, i + 1, left - 1, set | number_bit(pool[i]), rows, right, plain);
  }
}

struct GuaranteeCase {
  int trial = 0;
  Lottery lottery;
  RowMask pool = 0;
  Guarantee guarantee;
  std::vector<RowMask> rows;
  Plain plain;
};

// Of `trials` random tries, those that the check can take: lotteries up to
// 64 numbers, pools of a few numbers or of all, rows mostly of the pool and
// some reaching outside it.
inline std::vector<GuaranteeCase> random_guarantee_cases(std::uint64_t seed, int trials) {
  std::mt19937_64 random(seed);
  std::vector<GuaranteeCase> cases;
  for (int trial = 0; trial < trials; ++trial) {
    GuaranteeCase c;
    c.trial = trial;
    const int length = std::uniform_int_distribution<int>(2, 7)(random);
    c.lottery = {std::uniform_int_distribution<int>(length + 1, trial % 50 == 0 ? 64 : 20)(random), length};
    while (std::popcount(c.pool) < length)
      c.pool |= number_bit(std::uniform_int_distribution<int>(1, c.lottery.numbers)(random));
    if (trial % 4 == 0) c.pool = all_numbers(c.lottery);
    const int if_drawn = std::uniform_int_distribution<int>(1, std::min(length, std::popcount(c.pool)))(random);
    c.guarantee = {std::uniform_int_distribution<int>(1, if_drawn)(random), if_drawn};
    if (guarantee_problem(c.pool, c.lottery, c.guarantee)) continue;
    c.rows.resize(std::uniform_int_distribution<std::size_t>(0, 12)(random));
    for (RowMask& row : c.rows) {
      const RowMask from = random() % 3 == 0 ? all_numbers(c.lottery) : c.pool;
      while (std::popcount(row) < length) {
        const RowMask n = number_bit(std::uniform_int_distribution<int>(1, c.lottery.numbers)(random));
        if ((n & from) != 0) row |= n;
      }
    }
    std::vector<int> numbers;
    for (int n = 1; n <= c.lottery.numbers; ++n) {
      if ((c.pool & number_bit(n)) != 0) numbers.push_back(n);
    }
    each_set(numbers, 0, if_drawn, 0, c.rows, c.guarantee.right, c.plain);
    cases.push_back(c);
  }
  return cases;
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GUARANTEE_CASES_H_
