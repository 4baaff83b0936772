#include "rivit/internal/circles.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

namespace rivit {
namespace {

// Numbers a, b, c, counted the plain way: the rows that hold all three.
int rows_holding(const std::vector<RowMask>& rows, int a, int b, int c) {
  int holding = 0;
  for (const RowMask row : rows) {
    holding += ((row >> a) & (row >> b) & (row >> c) & 1) != 0 ? 1 : 0;
  }
  return holding;
}

// With every point kept (8 of 50 is q = 7 whole), the circles are a design:
// any three numbers lie in exactly one row.
TEST(CircleRows, AnyThreeNumbersOfTheWholeLineLieInExactlyOneRow) {
  rt::Random random(1);
  const std::vector<RowMask> rows = circle_rows({50, 8}, 350, random);
  ASSERT_EQ(rows.size(), 350U);
  for (int a = 0; a < 50; ++a) {
    for (int b = a + 1; b < 50; ++b) {
      for (int c = b + 1; c < 50; ++c) ASSERT_EQ(rows_holding(rows, a, b, c), 1) << a << " " << b << " " << c;
    }
  }
  EXPECT_TRUE(circle_rows({50, 8}, 351, random).empty());
}

// Cut down to other lotteries, the rows still share at most two numbers,
// have the lottery's length and numbers, and come as many as asked.
TEST(CircleRows, ShareAtMostTwoNumbersOnEveryLotteryThatFits) {
  struct Case {
    Lottery lottery;
    std::size_t rows;
  };
  const Case cases[] = {{{40, 7}, 180}, {{49, 6}, 300}, {{26, 6}, 65}, {{30, 5}, 100}, {{64, 10}, 30}, {{10, 3}, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows of " << c.lottery.length << " from " << c.lottery.numbers);
    rt::Random random(7);
    const std::vector<RowMask> rows = circle_rows(c.lottery, c.rows, random);
    ASSERT_EQ(rows.size(), c.rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(std::popcount(rows[i]), c.lottery.length);
      EXPECT_EQ(rows[i] >> (c.lottery.numbers - 1) >> 1, 0U);
      for (std::size_t j = i + 1; j < rows.size(); ++j) EXPECT_LE(std::popcount(rows[i] & rows[j]), 2);
    }
  }
  // 10 of 64 needs q = 11, 122 points: too far from 64 to keep enough.
  rt::Random random(7);
  EXPECT_TRUE(circle_rows({64, 10}, 1000, random).empty());
  // 5 of 12 needs q = 5, 26 points: more than twice 12.
  EXPECT_TRUE(circle_rows({12, 5}, 1, random).empty());
}

}  // namespace
}  // namespace rivit
