#include "rivit/internal/golay.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

namespace rivit {
namespace {

// Every (length - 3)-set of the points, each counted against every block the
// plain way: each must lie in exactly one.
TEST(GolaySteinerSystem, EverySetOfItsStrengthLiesInExactlyOneBlock) {
  for (int length = kGolayShortestBlock; length <= kOctadSize; ++length) {
    SCOPED_TRACE(length);
    const int points = length + 16;
    const int strength = length - 3;
    const std::vector<RowMask> blocks = golay_steiner_system(length);
    ASSERT_EQ(blocks.size(), choose(points, strength) / choose(length, strength));
    for (const RowMask block : blocks) {
      EXPECT_EQ(std::popcount(block), length);
      EXPECT_EQ(block >> points, 0U);
    }
    for (RowMask set = (RowMask{1} << strength) - 1; set < RowMask{1} << points;) {
      int holding = 0;
      for (const RowMask block : blocks) holding += (block & set) == set ? 1 : 0;
      ASSERT_EQ(holding, 1) << set;
      const RowMask low = set & (~set + 1);  // the next set of as many bits, in colex order
      const RowMask carried = set + low;
      set = carried | (((set ^ carried) >> 2) / low);
    }
  }
  EXPECT_TRUE(golay_steiner_system(4).empty());
  EXPECT_TRUE(golay_steiner_system(9).empty());
}

}  // namespace
}  // namespace rivit
