#include "rivit/odds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

namespace rivit {
namespace {

// Calls visit(draw) for every draw of `length` numbers from `from` to
// lottery.numbers added to `draw`.
template <typename Visit>
void each_draw(Lottery lottery, int length, int from, RowMask draw, Visit& visit) {
  if (length == 0) return visit(draw);
  for (int n = from; n <= lottery.numbers - length + 1; ++n)
    each_draw(lottery, length - 1, n + 1, draw | number_bit(n), visit);
}

// Every draw against every row, in increasing order: the best of each, of
// those that meet the condition, and the first below the options' count.
struct Plain {
  std::vector<std::uint64_t> best;
  std::vector<std::uint64_t> best_if;
  std::optional<RowMask> first_below;
};
Plain brute_force(const std::vector<RowMask>& rows, Lottery lottery, const OddsOptions& options = {}) {
  const auto counts = static_cast<std::size_t>(lottery.length) + 1;
  Plain plain{std::vector<std::uint64_t>(counts), std::vector<std::uint64_t>(options.condition ? counts : 0), {}};
  auto visit = [&](RowMask draw) {
    int most = 0;
    for (const RowMask row : rows) most = std::max(most, std::popcount(row & draw));
    ++plain.best[static_cast<std::size_t>(most)];
    if (options.condition && std::popcount(draw & options.condition->pool) >= options.condition->if_drawn) {
      ++plain.best_if[static_cast<std::size_t>(most)];
    }
    if (most < options.below && !plain.first_below) plain.first_below = draw;
  };
  each_draw(lottery, lottery.length, 1, 0, visit);
  return plain;
}

// `count` rows of numbers from 1 to `pool`, with some rows repeated.
std::vector<RowMask> random_rows(std::mt19937_64& random, Lottery lottery, int pool, std::size_t count) {
  std::vector<int> numbers(static_cast<std::size_t>(pool));
  std::iota(numbers.begin(), numbers.end(), 1);
  std::vector<RowMask> rows;
  while (rows.size() < count) {
    if (!rows.empty() && random() % 8 == 0) {
      rows.push_back(rows[static_cast<std::size_t>(random() % rows.size())]);
      continue;
    }
    std::shuffle(numbers.begin(), numbers.end(), random);
    RowMask row = 0;
    for (int i = 0; i < lottery.length; ++i) row |= number_bit(numbers[static_cast<std::size_t>(i)]);
    rows.push_back(row);
  }
  return rows;
}

// The odds counted piece by piece, the pieces shuffled and dealt out to
// `counters` counters whose tallies are summed, as fronts that count on
// several threads or workers do.
Tally tally_in_pieces(const OddsCount& count, std::size_t counters, std::mt19937_64& random) {
  std::vector<std::size_t> order(count.pieces());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::shuffle(order.begin(), order.end(), random);
  std::vector<OddsCount::Counter> dealt;
  for (std::size_t i = 0; i < counters; ++i) dealt.emplace_back(count);
  for (std::size_t i = 0; i < order.size(); ++i) dealt[i % counters].count(order[i]);
  Tally sum;
  for (const OddsCount::Counter& counter : dealt) sum.add(counter.tally());
  return sum;
}

TEST(Odds, AgreesWithEveryDrawAgainstEveryRow) {
  constexpr Lottery kLotteries[] = {{12, 5}, {16, 6}, {3, 2}, {12, 10}, {64, 3}, {20, 4}, {14, 7}};
  std::mt19937_64 random(20261208);
  for (int trial = 0; trial < 700; ++trial) {
    const Lottery lottery = kLotteries[static_cast<std::size_t>(trial) % std::size(kLotteries)];
    // Rows from fewer numbers share more with each other and leave some
    // numbers out, so that every best from 0 to the length comes up; more
    // than 64 rows now and then take more than one word of rows.
    const int pool = std::uniform_int_distribution<int>(lottery.length, lottery.numbers)(random);
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, trial % 9 == 0 ? 200 : 6)(random);
    std::vector<RowMask> rows = random_rows(random, lottery, pool, count);
    // The last number of the largest lottery, in the top bit of the mask.
    if (lottery.numbers == kMostNumbers && !rows.empty()) {
      rows.front() = (rows.front() & (rows.front() - 1)) | number_bit(kMostNumbers);
    }

    // Now and then a condition on a random pool, and a first draw below a
    // random count looked for.
    OddsOptions options;
    if (trial % 3 != 0) {
      options.condition =
          DrawCondition{random() & all_numbers(lottery), std::uniform_int_distribution<int>(1, lottery.length)(random)};
      options.below = std::uniform_int_distribution<int>(0, lottery.length + 1)(random);
    }
    const std::size_t counters = static_cast<std::size_t>(trial) % 4;
    const OddsCount odds_count(rows, lottery, options);
    const Tally tally = tally_in_pieces(odds_count, std::max<std::size_t>(counters, 1), random);
    const Odds odds = counters == 0 && !options.condition ? odds_of(rows, lottery) : odds_count.odds(tally);
    const Plain plain = brute_force(rows, lottery, options);
    const std::vector<std::uint64_t>& expected = plain.best;
    ASSERT_EQ(odds.best, expected) << "trial " << trial << ", " << rows.size() << " rows";
    EXPECT_EQ(odds.condition, options.condition);
    EXPECT_EQ(odds.best_if, plain.best_if) << "trial " << trial;
    EXPECT_EQ(odds.draws_if, std::accumulate(plain.best_if.begin(), plain.best_if.end(), std::uint64_t{0}));
    EXPECT_EQ(tally.first_below ? std::optional<RowMask>(tally.first_below->draw) : std::nullopt, plain.first_below)
        << "trial " << trial << ", below " << options.below;
    EXPECT_EQ(odds.lottery, lottery);
    EXPECT_EQ(odds.rows, rows.size());
    EXPECT_EQ(odds.draws, choose(lottery.numbers, lottery.length));
    EXPECT_EQ(std::accumulate(odds.best.begin(), odds.best.end(), std::uint64_t{0}), odds.draws);
    const auto first_reached = std::find_if(expected.begin(), expected.end(), [](std::uint64_t n) { return n > 0; });
    EXPECT_EQ(odds.guaranteed, first_reached - expected.begin());
    ASSERT_EQ(odds.balance.size(), static_cast<std::size_t>(lottery.numbers));
    for (int n = 1; n <= lottery.numbers; ++n) {
      const auto holding =
          std::count_if(rows.begin(), rows.end(), [n](RowMask row) { return (row & number_bit(n)) != 0; });
      EXPECT_EQ(odds.balance[static_cast<std::size_t>(n - 1)], static_cast<std::size_t>(holding)) << "number " << n;
    }
  }
}

// One row shares k numbers with C(length, k) C(numbers - length, length - k)
// draws; with no rows every draw's best is 0. Checked on lotteries too large
// for the brute force.
TEST(Odds, OneRowAndNoRowsOnLargeLotteries) {
  constexpr Lottery kLotteries[] = {{30, 6}, {64, 4}, {24, 10}, {45, 5}};
  for (const Lottery lottery : kLotteries) {
    RowMask row = 0;
    for (int n = lottery.numbers; n > lottery.numbers - lottery.length; --n) row |= number_bit(n);
    const std::vector<RowMask> one_row = {row};
    const Odds odds = odds_of(one_row, lottery);
    for (int k = 0; k <= lottery.length; ++k) {
      EXPECT_EQ(odds.best[static_cast<std::size_t>(k)],
                choose(lottery.length, k) * choose(lottery.numbers - lottery.length, lottery.length - k))
          << lottery.length << " of " << lottery.numbers << ", k = " << k;
    }
    EXPECT_EQ(odds.guaranteed, 0);

    const Odds none = odds_of({}, lottery);
    EXPECT_EQ(none.best.front(), none.draws);
    EXPECT_EQ(std::count(none.best.begin(), none.best.end(), 0), lottery.length);
    EXPECT_EQ(std::count(none.balance.begin(), none.balance.end(), 0), lottery.numbers);
  }
}

}  // namespace
}  // namespace rivit
