// The binomials that every count of draws and outcomes rests on, against
// Pascal's triangle built by addition alone, up to Keno's C(80, 20) and as
// far as 64 bits reach.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {
namespace {

TEST(ChooseTest, EqualsPascalsTriangleWhereverItFits) {
  constexpr std::size_t kRows = 129;
  constexpr std::uint64_t kOverflow = std::numeric_limits<std::uint64_t>::max();
  std::vector<std::vector<std::uint64_t>> triangle(kRows, std::vector<std::uint64_t>(kRows, 0));
  for (std::size_t n = 0; n < kRows; ++n) {
    triangle[n][0] = 1;
    for (std::size_t k = 1; k <= n; ++k) {
      const std::uint64_t left = triangle[n - 1][k - 1];
      const std::uint64_t right = triangle[n - 1][k];
      triangle[n][k] = left == kOverflow || right == kOverflow || left > kOverflow - right ? kOverflow : left + right;
    }
  }
  int checked = 0;
  for (std::size_t n = 0; n < kRows; ++n) {
    for (std::size_t k = 0; k <= n; ++k) {
      if (triangle[n][k] == kOverflow) continue;
      EXPECT_EQ(choose(static_cast<int>(n), static_cast<int>(k)), triangle[n][k]) << n << " " << k;
      ++checked;
    }
    EXPECT_EQ(choose(static_cast<int>(n), static_cast<int>(n) + 1), 0U);
  }
  EXPECT_GT(checked, 3000);
  EXPECT_EQ(choose(80, 20), triangle[80][20]);
}

}  // namespace
}  // namespace rivit
