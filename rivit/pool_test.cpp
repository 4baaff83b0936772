#include "rivit/pool.h"

#include <gtest/gtest.h>

#include <random>

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "rivit/internal/local_search.h"

namespace rivit {
namespace {

// A pool written the long way, in an order of pieces drawn at random: each
// run of numbers split at random into single numbers and ranges.
std::string written_at_random(RowMask pool, rt::Random& random) {
  std::vector<std::string> pieces;
  for (int n = 0; n < kMostNumbers;) {
    if ((pool >> n & 1) == 0) {
      ++n;
      continue;
    }
    int last = n;
    while (last + 1 < kMostNumbers && (pool >> (last + 1) & 1) != 0 && below(random, 3) != 0) ++last;
    pieces.push_back(last == n && below(random, 2) == 0 ? std::to_string(n + 1)
                                                        : std::to_string(n + 1) + "-" + std::to_string(last + 1));
    n = last + 1;
  }
  for (std::size_t i = pieces.size(); i > 1; --i) std::swap(pieces[i - 1], pieces[below(random, i)]);
  std::string text;
  for (const std::string& piece : pieces) text += (text.empty() ? "" : below(random, 2) == 0 ? "," : ", ") + piece;
  return text;
}

TEST(ParsePool, ReadsEveryWayOfWritingAPoolAndItsOwnText) {
  rt::Random random(3);
  for (int trial = 0; trial < 2000; ++trial) {
    const Lottery lottery{3 + below(random, 62), 2};
    RowMask pool = 0;
    while (std::popcount(pool) < 2) {
      for (int n = 1; n <= lottery.numbers; ++n) pool |= below(random, 3) == 0 ? number_bit(n) : 0;
    }
    const std::string text = written_at_random(pool, random);
    const ParsedPool parsed = parse_pool(text, lottery);
    ASSERT_EQ(parsed.error, "") << text;
    ASSERT_EQ(parsed.pool, pool) << text;
    ASSERT_EQ(parse_pool(pool_text(pool), lottery).pool, pool) << pool_text(pool);
  }
}

TEST(ParsePool, WritesRunsOfThreeOrMoreAsRanges) {
  EXPECT_EQ(pool_text(mask_of({1, 2, 3, 4, 5, 9, 12, 13, 14})), "1-5, 9, 12-14");
  EXPECT_EQ(pool_text(mask_of({1, 2, 7, 8, 9, 64})), "1, 2, 7-9, 64");
  EXPECT_EQ(pool_text(~RowMask{0}), "1-64");
}

TEST(ParsePool, RefusesWhatIsNotAPoolAndSaysWhy) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"1-12, 41", "41 is not from 1 to 40"},
      {"0, 1-12", "0 is not from 1 to 40"},
      {"1-50", "50 is not from 1 to 40"},
      {"1-12,x", "\"x\" is not a number or a range of numbers"},
      {"1-12,,13", "\"\" is not a number or a range of numbers"},
      {"1-12,", "\"\" is not a number or a range of numbers"},
      {"1-3-5,7-12", "\"1-3-5\" is not a number or a range of numbers"},
      {"1 2 3 4 5 6 7", "\"1 2 3 4 5 6 7\" is not a number or a range of numbers"},
      {"1-5,-9", "\"-9\" is not a number or a range of numbers"},
      {"12-1", "\"12-1\" runs from high to low"},
      {"1-12, 5", "5 is in the pool twice"},
      {"3,7,11,19,24", "the pool has 5 numbers, fewer than a row's 7"},
      {"9999999", "\"9999999\" is not a number or a range of numbers"},
  };
  for (const Case& c : cases) {
    const ParsedPool parsed = parse_pool(c.text, kProgramLottery);
    EXPECT_EQ(parsed.error, c.error) << c.text;
    EXPECT_EQ(parsed.pool, 0U) << c.text;
  }
  EXPECT_EQ(parse_pool(" 3,7,11,19,24,30,33 ", kProgramLottery).pool, mask_of({3, 7, 11, 19, 24, 30, 33}));
}

// A pool of a game past 64 numbers: read as far as 90, at most 64 in the
// pool, and renumbered into a lottery of its own and back, number for
// number, in order.
TEST(GamePool, ReadsNumbersPast64AndRenumbersThemBothWays) {
  const ParsedGamePool powerball = parse_game_pool("55-69", 69, 5);
  ASSERT_EQ(powerball.error, "");
  EXPECT_EQ(pool_text(powerball.pool), "55-69");
  EXPECT_EQ(parse_game_pool("1-65", 90, 6).error, "the pool has 65 numbers, more than 64");
  EXPECT_EQ(parse_game_pool("80, 91", 90, 6).error, "91 is not from 1 to 90");
  std::mt19937 random(3);
  for (int trial = 0; trial < 200; ++trial) {
    NumberSet pool;
    const int size = 6 + static_cast<int>(random() % 59);
    while (pool.size() < size) pool.add(1 + static_cast<int>(random() % 90));
    ASSERT_EQ(parse_game_pool(pool_text(pool), 90, 6).pool, pool);
    const RenumberedPool renumbered(pool, 6);
    EXPECT_EQ(renumbered.pool(), all_numbers({size, 6}));
    EXPECT_GE(renumbered.lottery().numbers, size);
    const std::vector<int> numbers = pool.numbers();
    NumberSet line;
    RowMask expected = 0;
    for (int n = 1; n <= 90; ++n) {
      if (random() % 3 != 0) continue;
      line.add(n);
      const auto at = std::find(numbers.begin(), numbers.end(), n);
      if (at != numbers.end()) expected |= number_bit(at - numbers.begin() + 1);
    }
    EXPECT_EQ(renumbered.inside(line), expected);
    EXPECT_EQ(renumbered.outside(expected), line & pool);
  }
}

}  // namespace
}  // namespace rivit
