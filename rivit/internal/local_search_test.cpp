#include "rivit/internal/local_search.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace rivit {
namespace {

// Each rule keeps a move of the least key, and each of the moves that tie
// for it about equally often: a rule that favoured the first or the last of
// them would turn every search built on it towards one corner of its moves,
// which no recorded rows of an existing search would show.
template <Ties kTies>
void expect_fair(const char* rule) {
  SCOPED_TRACE(rule);
  constexpr std::array<int, 8> kKeys = {3, 1, 2, 1, 1, 4, 1, 5};  // 1 at offers 1, 3, 4 and 6
  constexpr int kRounds = 40000;
  std::array<int, kKeys.size()> chosen{};
  rt::Random random(5);
  BestMove<int, std::size_t, kTies> best;
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) best.offer(kKeys[i], i, random);
    const std::optional<std::size_t> move = best.take(random);
    ASSERT_TRUE(move.has_value());
    ++chosen[*move];
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    if (kKeys[i] != 1) {
      EXPECT_EQ(chosen[i], 0) << i;
    } else {
      EXPECT_NEAR(chosen[i], kRounds / 4.0, kRounds / 40.0) << i;  // over 5 standard deviations
    }
  }
  EXPECT_FALSE(best.take(random).has_value());  // take clears the offers
}

TEST(BestMove, EveryTieRuleTakesTheLeastKeyAndEachTiedMoveAlike) {
  expect_fair<Ties::kDrawAtEnd>("draw at end");
  expect_fair<Ties::kDrawEachTie>("draw each tie");
  expect_fair<Ties::kDrawFromSecondTie>("draw from second tie");
}

}  // namespace
}  // namespace rivit
