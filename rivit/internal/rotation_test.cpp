#include "rivit/internal/rotation.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

namespace rivit {
namespace {

// The numbers the rows share beyond `target`, pair by pair.
std::uint64_t excess_of(const std::vector<RowMask>& rows, int target) {
  std::uint64_t excess = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      const int shared = std::popcount(rows[i] & rows[j]);
      if (shared > target) excess += static_cast<std::uint64_t>(shared - target);
    }
  }
  return excess;
}

TEST(Turned, MovesEveryNumberOnAroundTheLottery) {
  rt::Random random(3);
  for (const int numbers : {7, 40, 63, 64}) {
    const Lottery lottery{numbers, 5};
    for (int trial = 0; trial < 200; ++trial) {
      const auto row =
          static_cast<RowMask>(random.Next()) & (numbers == 64 ? ~RowMask{0} : (RowMask{1} << numbers) - 1);
      const auto by = static_cast<int>(random.Uniform(numbers) - 1);
      RowMask expected = 0;
      for (int n = 0; n < numbers; ++n) {
        if (((row >> n) & 1) != 0) expected |= RowMask{1} << ((n + by) % numbers);
      }
      ASSERT_EQ(turned(row, by, lottery), expected) << numbers << " " << by;
    }
  }
}

// The search's claim to have met its target is checked pair by pair on the
// whole orbits' rows; a search that cannot meet it reports its excess as the
// plain count does; the same generator state gives the same rows, however
// the steps are handed out.
TEST(RotatedRows, ExcessIsThePlainCountAndMetTargetsStopEarly) {
  struct Case {
    RotationSearch search;
    bool meets;
  };
  const Case cases[] = {
      {{{40, 7}, 800, 3, 20000}, true},  // 20 orbits of 40
      {{{40, 7}, 90, 2, 20000}, true},   // 3 orbits, cut back to 90 rows
      {{{49, 6}, 500, 2, 20000}, true},  // 11 orbits, cut back
      {{{13, 4}, 13, 1, 20000}, true},   // one orbit: the 13 lines of the plane of order 3
      {{{40, 7}, 200, 2, 300}, false},   // 5 orbits, not in so few steps
      {{{64, 10}, 64, 3, 2000}, true},   // 64 numbers: turns of the whole word
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.search.rows << " rows of " << c.search.lottery.length << " from "
                                    << c.search.lottery.numbers);
    rt::Random random(11);
    RotatedRowsSearch search(c.search, random);
    search.advance(c.search.steps, random);
    EXPECT_TRUE(search.done());
    const RotatedRows found = search.result();
    ASSERT_EQ(found.rows.size(), c.search.rows);
    for (const RowMask row : found.rows) EXPECT_EQ(std::popcount(row), c.search.lottery.length);
    EXPECT_EQ(found.excess, excess_of(found.rows, c.search.target));
    EXPECT_EQ(found.excess == 0, c.meets);
    EXPECT_EQ(found.steps_taken < c.search.steps, c.meets);
    rt::Random again(11);
    RotatedRowsSearch sliced(c.search, again);
    while (!sliced.done()) sliced.advance(7, again);
    EXPECT_EQ(sliced.result().rows, found.rows);
  }
}

}  // namespace
}  // namespace rivit
