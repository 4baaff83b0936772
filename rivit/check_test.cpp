#include "rivit/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace rivit {
namespace {

int brute_force_closest(const std::vector<RowMask>& rows) {
  int most = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) most = std::max(most, shared_numbers(rows[i], rows[j]));
  }
  return most;
}

TEST(ClosestPair, AgreesWithEveryPairComparedInAnyLottery) {
  std::mt19937_64 random(20261208);
  for (int trial = 0; trial < 3000; ++trial) {
    const int length = std::uniform_int_distribution<int>(kShortestRow, kLongestRow)(random);
    const Lottery lottery{std::uniform_int_distribution<int>(length + 1, kMostNumbers)(random), length};
    // Rows drawn from the numbers up to a random bound share more the lower
    // the bound, so every count from 0 to K comes up.
    const int pool = std::uniform_int_distribution<int>(length, lottery.numbers)(random);
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, trial % 10 == 0 ? 400 : 12)(random);
    std::vector<int> numbers(static_cast<std::size_t>(pool));
    std::iota(numbers.begin(), numbers.end(), lottery.numbers - pool + 1);
    std::vector<RowMask> rows;
    for (std::size_t i = 0; i < count; ++i) {
      std::shuffle(numbers.begin(), numbers.end(), random);
      rows.push_back(mask_of(Row(numbers.begin(), numbers.begin() + length)));
    }
    const std::optional<SharedPair> found = closest_pair(rows, lottery);
    if (rows.size() < 2) {
      EXPECT_FALSE(found);
      continue;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->numbers, brute_force_closest(rows)) << "trial " << trial;
    ASSERT_LT(found->first, found->second);
    ASSERT_LT(found->second, rows.size());
    EXPECT_EQ(shared_numbers(rows[found->first], rows[found->second]), found->numbers) << "trial " << trial;
  }
}

}  // namespace
}  // namespace rivit
