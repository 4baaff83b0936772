#include "rivit/guarantee.h"

#include <gtest/gtest.h>

#include <bit>
#include <optional>

#include "rivit/guarantee_cases.h"

namespace rivit {
namespace {

TEST(GuaranteeCheck, AgreesWithEverySetOfThePoolAgainstEveryRow) {
  for (const GuaranteeCase& c : random_guarantee_cases(20261209, 600)) {
    const int v = std::popcount(c.pool);
    SCOPED_TRACE(testing::Message() << "trial " << c.trial << ": " << c.guarantee.right << " if "
                                    << c.guarantee.if_drawn << " on " << v << ", " << c.rows.size() << " rows of "
                                    << c.lottery.length);
    const GuaranteeCheck check = check_guarantee(c.rows, c.pool, c.guarantee);
    EXPECT_EQ(check.pool_numbers, v);
    EXPECT_EQ(check.sets, c.plain.sets);
    EXPECT_EQ(check.failing, c.plain.failing);
    EXPECT_EQ(check.example, c.plain.example ? std::optional(NumberSet::of_row_mask(*c.plain.example)) : std::nullopt);
    EXPECT_EQ(check.holds(), c.plain.failing == 0);
  }
}

TEST(GuaranteeCheck, RefusesWhatItCannotCheck) {
  const Lottery lottery{40, 7};
  const RowMask pool = all_numbers({12, 7});
  EXPECT_TRUE(guarantee_problem(pool, lottery, {0, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {4, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {3, 8}));
  EXPECT_TRUE(guarantee_problem(all_numbers({5, 4}), lottery, {3, 6}));
  EXPECT_TRUE(guarantee_problem(all_numbers({64, 10}), {64, 10}, {5, 10}));
  EXPECT_FALSE(guarantee_problem(pool, lottery, {7, 7}));
}

}  // namespace
}  // namespace rivit
