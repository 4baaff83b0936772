#include "rivit/guarantee.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

namespace rivit {
namespace {

// Every m-set of the pool, in increasing order, against every row.
struct Plain {
  std::uint64_t sets = 0;
  std::uint64_t failing = 0;
  std::optional<RowMask> example;
};

void each_set(const std::vector<int>& pool, std::size_t from, int left, RowMask set, const std::vector<RowMask>& rows,
              int right, Plain& plain) {
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

TEST(GuaranteeCheck, AgreesWithEverySetOfThePoolAgainstEveryRow) {
  std::mt19937_64 random(20261209);
  for (int trial = 0; trial < 600; ++trial) {
    const int length = std::uniform_int_distribution<int>(2, 7)(random);
    const Lottery lottery{std::uniform_int_distribution<int>(length + 1, trial % 50 == 0 ? 64 : 20)(random), length};
    RowMask pool = 0;
    while (std::popcount(pool) < length)
      pool |= number_bit(std::uniform_int_distribution<int>(1, lottery.numbers)(random));
    if (trial % 4 == 0) pool = all_numbers(lottery);
    const int v = std::popcount(pool);
    const int if_drawn = std::uniform_int_distribution<int>(1, std::min(length, v))(random);
    const Guarantee guarantee{std::uniform_int_distribution<int>(1, if_drawn)(random), if_drawn};
    if (guarantee_problem(pool, lottery, guarantee)) continue;
    // Rows mostly of the pool, some reaching outside it.
    std::vector<RowMask> rows(std::uniform_int_distribution<std::size_t>(0, 12)(random));
    for (RowMask& row : rows) {
      const RowMask from = random() % 3 == 0 ? all_numbers(lottery) : pool;
      while (std::popcount(row) < length) {
        const RowMask n = number_bit(std::uniform_int_distribution<int>(1, lottery.numbers)(random));
        if ((n & from) != 0) row |= n;
      }
    }
    std::vector<int> numbers;
    for (int n = 1; n <= lottery.numbers; ++n) {
      if ((pool & number_bit(n)) != 0) numbers.push_back(n);
    }
    Plain plain;
    each_set(numbers, 0, if_drawn, 0, rows, guarantee.right, plain);

    SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << guarantee.right << " if " << if_drawn << " on " << v
                                    << ", " << rows.size() << " rows of " << length);
    const GuaranteeCheck check = check_guarantee(rows, pool, guarantee);
    EXPECT_EQ(check.pool_numbers, v);
    EXPECT_EQ(check.sets, plain.sets);
    EXPECT_EQ(check.failing, plain.failing);
    EXPECT_EQ(check.example, plain.example);
    EXPECT_EQ(check.holds(), plain.failing == 0);
  }
}

TEST(GuaranteeCheck, SaysWhatItFoundAndWhatItCannotCheck) {
  const Lottery lottery{40, 7};
  const RowMask pool = all_numbers({12, 7});
  const std::vector<RowMask> one_row = {mask_of({1, 2, 3, 4, 5, 6, 7})};
  EXPECT_EQ(guarantee_text(check_guarantee(one_row, pool, {1, 1})),
            "guarantee: 1 if 1 on 12 numbers: fails for 5 of 12 sets of 1, e.g. 8");
  // Six of 12 hold at least one of the row's 7; two, unless five are the
  // other five; three, unless four or five are.
  EXPECT_EQ(guarantee_text(check_guarantee(one_row, pool, {1, 6})), "guarantee: 1 if 6 on 12 numbers: holds");
  EXPECT_EQ(guarantee_text(check_guarantee(one_row, pool, {2, 6})),
            "guarantee: 2 if 6 on 12 numbers: fails for 7 of 924 sets of 6, e.g. 1 8 9 10 11 12");
  EXPECT_EQ(guarantee_text(check_guarantee(one_row, pool, {3, 6})),
            "guarantee: 3 if 6 on 12 numbers: fails for 112 of 924 sets of 6, e.g. 1 2 8 9 10 11");
  EXPECT_TRUE(guarantee_problem(pool, lottery, {0, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {4, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {3, 8}));
  EXPECT_TRUE(guarantee_problem(all_numbers({5, 4}), lottery, {3, 6}));
  EXPECT_TRUE(guarantee_problem(all_numbers({64, 10}), {64, 10}, {5, 10}));
  EXPECT_FALSE(guarantee_problem(pool, lottery, {7, 7}));
}

}  // namespace
}  // namespace rivit
