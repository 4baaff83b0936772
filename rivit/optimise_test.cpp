#include "rivit/optimise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <set>
#include <vector>

namespace rivit {
namespace {

// The score counted the plain way: every pair's shared numbers, every
// number's rows.
Score pair_by_pair(const std::vector<RowMask>& rows, Lottery lottery) {
  std::vector<std::uint64_t> pairs_sharing(kLongestRow + 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      int shared = 0;
      for (int n = 1; n <= lottery.numbers; ++n) shared += (rows[i] & rows[j] & number_bit(n)) != 0 ? 1 : 0;
      ++pairs_sharing.at(static_cast<std::size_t>(shared));
    }
  }
  Score score;
  for (int shared = kLongestRow; shared >= 0 && score.pairs_at_largest == 0; --shared) {
    score = {shared, pairs_sharing[static_cast<std::size_t>(shared)], 0};
  }
  if (score.pairs_at_largest == 0) score.largest_shared = 0;
  int most = 0;
  int least = static_cast<int>(rows.size());
  for (int n = 1; n <= lottery.numbers; ++n) {
    const auto uses = static_cast<int>(std::count_if(rows.begin(), rows.end(), [n](RowMask row) { return (row & number_bit(n)) != 0; }));
    most = std::max(most, uses);
    least = std::min(least, uses);
  }
  score.usage_range = most - least;
  return score;
}

// Every row has the lottery's length and its numbers, and the score and the
// proof are what the plain count says.
void expect_honest(const FoundRows& found, const RowSearch& search) {
  ASSERT_EQ(found.rows.size(), search.rows);
  const RowMask outside = search.lottery.numbers == kMostNumbers ? 0 : ~RowMask{0} << search.lottery.numbers;
  for (const RowMask row : found.rows) {
    EXPECT_EQ(std::popcount(row), search.lottery.length);
    EXPECT_EQ(row & outside, 0U);
  }
  EXPECT_EQ(found.score, pair_by_pair(found.rows, search.lottery));
  EXPECT_EQ(found.score, score_of(found.rows, search.lottery));
  EXPECT_LE(found.steps_taken, search.steps);
}

TEST(FindRows, ScoresAreThePlainCountAndRepeatForTheSameSeed) {
  const RowSearch searches[] = {
      {{40, 7}, 1, 5, 1000, {}, nullptr},   {{40, 7}, 30, 6, 3000, {}, nullptr}, {{40, 7}, 150, 7, 2000, {}, nullptr},
      {{64, 10}, 40, 8, 2000, {}, nullptr}, {{12, 5}, 50, 9, 2000, {}, nullptr}, {{11, 2}, 55, 10, 3000, {}, nullptr},
  };
  for (const RowSearch& search : searches) {
    SCOPED_TRACE(testing::Message() << search.rows << " rows of " << search.lottery.length << " from "
                                    << search.lottery.numbers);
    const FoundRows found = find_rows(search);
    expect_honest(found, search);
    EXPECT_EQ(find_rows(search).rows, found.rows);
  }
}

}  // namespace
}  // namespace rivit
