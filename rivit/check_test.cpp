#include "rivit/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

namespace rivit {
namespace {

int brute_force_most_shared(const std::vector<RowMask>& rows) {
  int most = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) most = std::max(most, shared_numbers(rows[i], rows[j]));
  }
  return most;
}

TEST(MostShared, AgreesWithEveryPairCompared) {
  std::mt19937_64 random(20261208);
  for (int trial = 0; trial < 3000; ++trial) {
    // Rows drawn from the numbers up to a random bound share more the lower
    // the bound, so every count from 0 to 7 comes up.
    const int pool = std::uniform_int_distribution<int>(kNumbersInRow, kLargestNumber)(random);
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, trial % 10 == 0 ? 400 : 12)(random);
    std::vector<int> numbers(static_cast<std::size_t>(pool));
    for (int n = 1; n <= pool; ++n) numbers[static_cast<std::size_t>(n - 1)] = n;
    std::vector<RowMask> rows;
    for (std::size_t i = 0; i < count; ++i) {
      std::shuffle(numbers.begin(), numbers.end(), random);
      Row row;
      std::copy_n(numbers.begin(), row.size(), row.begin());
      rows.push_back(mask_of(row));
    }
    const std::optional<SharedPair> found = most_shared(rows);
    if (rows.size() < 2) {
      EXPECT_FALSE(found);
      continue;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->numbers, brute_force_most_shared(rows)) << "trial " << trial;
    ASSERT_LT(found->first, found->second);
    ASSERT_LT(found->second, rows.size());
    EXPECT_EQ(shared_numbers(rows[found->first], rows[found->second]), found->numbers) << "trial " << trial;
  }
}

}  // namespace
}  // namespace rivit
