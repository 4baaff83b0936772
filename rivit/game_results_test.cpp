// The figures that both fronts build through game_results.h: a system's
// check is that of every line it stands for, a line's that of itself alone
// (as the page checks each line), one line's tier odds counted in pieces
// are the closed formula's, and out of reach they say why.

#include "rivit/game_results.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace rivit {
namespace {

NumberSet random_subset(std::mt19937_64& random, int numbers, int count, const NumberSet& taken = {}) {
  std::vector<int> all;
  for (int n = 1; n <= numbers; ++n) {
    if (!taken.has(n)) all.push_back(n);
  }
  std::shuffle(all.begin(), all.end(), random);
  NumberSet set;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) set.add(all[i]);
  return set;
}

// A line, or a system of up to two numbers more in each drum.
GameLine random_line(std::mt19937_64& random, const Game& game, bool system) {
  const auto more = [&random, system] { return system ? static_cast<int>(random() % 3) : 0; };
  return {random_subset(random, game.main.numbers, game.line + more()),
          game.has_second() ? random_subset(random, game.second.numbers, game.second.drawn + more()) : NumberSet{}};
}

Draw random_draw(std::mt19937_64& random, const Game& game) {
  Draw draw;
  draw.main = random_subset(random, game.main.numbers, game.main.drawn);
  draw.bonus = random_subset(random, game.main.numbers, game.bonus, draw.main);
  if (game.has_second()) draw.second = random_subset(random, game.second.numbers, game.second.drawn);
  return draw;
}

TEST(DrawsCheck, EachWrittenLineIsEveryLineItStandsForCheckedOneByOne) {
  std::mt19937_64 random(20261209);
  for (int trial = 0; trial < 300; ++trial) {
    const Game& game = built_in_games()[static_cast<std::size_t>(random() % built_in_games().size())];
    std::vector<GameLine> lines;
    for (auto i = static_cast<std::size_t>(1 + random() % 4); i > 0; --i) lines.push_back(random_line(random, game, random() % 2 == 0));
    if (system_problem(lines, game)) continue;
    std::vector<Draw> draws;
    std::vector<std::string> dates;
    for (auto d = static_cast<std::size_t>(1 + random() % 3); d > 0; --d) {
      draws.push_back(random_draw(random, game));
      dates.emplace_back(d % 2 == 0 ? "2026-12-05" : "");
    }
    const DrawsCheck check = draws_check_of(game, lines, draws, dates);
    SCOPED_TRACE(game.name);
    EXPECT_EQ(check.lines, lines);
    EXPECT_EQ(check.draws, draws);
    EXPECT_EQ(check.dates, dates);
    ASSERT_EQ(check.expanded.size(), lines.size());
    ASSERT_EQ(check.results.size(), draws.size());
    for (std::size_t d = 0; d < draws.size(); ++d) {
      ASSERT_EQ(check.results[d].size(), lines.size());
      for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(check.expanded[i], system_lines(lines[i], game));
        // Every line the written one stands for, checked alone, summed.
        std::vector<std::uint64_t> tier_lines(game.tiers.size(), 0);
        Cents prizes = 0;
        std::uint64_t lines_checked = 0;
        for (const GameLine& line : expand_system(lines[i], game)) {
          const DrawResult alone = check_draw({&line, 1}, draws[d], game);
          for (std::size_t t = 0; t < tier_lines.size(); ++t) tier_lines[t] += alone.tier_lines[t];
          prizes += alone.prizes;
          ++lines_checked;
        }
        const DrawResult& result = check.results[d][i];
        EXPECT_EQ(result.lines.size(), lines_checked);
        EXPECT_EQ(result.tier_lines, tier_lines);
        EXPECT_EQ(result.prizes, prizes);
        if (check.expanded[i] == 1) {
          EXPECT_EQ(result.tier_lines, check_draw({&lines[i], 1}, draws[d], game).tier_lines);
        }
      }
    }
  }
}

TEST(GameOdds, OfOneLineCountedInPiecesAreTheClosedFormulasAndOutOfReachSayWhy) {
  std::mt19937_64 random(20261210);
  for (const Game& game : built_in_games()) {
    SCOPED_TRACE(game.name);
    const std::vector<GameLine> one = {random_line(random, game, false)};
    const TierCount count(game, one);
    if (tier_odds_problem(count)) continue;
    TierCount::Counter counter(count);
    for (std::size_t i = 0; i < count.pieces(); ++i) counter.count(i);
    const GameOdds odds = game_odds_of(game, 1, count, counter.tally());
    ASSERT_TRUE(odds.set.has_value());
    EXPECT_TRUE(odds.out_of_reach.empty());
    EXPECT_EQ(odds.set->outcomes, odds.one_line.outcomes);
    EXPECT_EQ(odds.set->tiers, odds.one_line.tiers);
    EXPECT_EQ(odds.set->none, odds.one_line.none);
    EXPECT_EQ(odds.lines, 1U);
  }
  // Keno's 70 numbers in seven lines of ten: too many to count every outcome.
  const Game keno = *parse_game("keno", 10).game;
  std::vector<GameLine> lines(7);
  for (int n = 1; n <= 70; ++n) lines[static_cast<std::size_t>(n - 1) % 7].main.add(n);
  const TierCount count(keno, lines);
  const std::optional<std::string> problem = tier_odds_problem(count);
  ASSERT_TRUE(problem.has_value());
  const GameOdds odds = game_odds_of(keno, lines.size(), count, {});
  EXPECT_FALSE(odds.set.has_value());
  EXPECT_EQ(odds.out_of_reach, *problem);
  EXPECT_EQ(odds.lines, lines.size());
  EXPECT_EQ(odds.one_line.tiers, line_odds(keno).tiers);
}

TEST(LinesCount, CostsThePriceOfEveryLineWhereTheGameHasOne) {
  for (const Game& game : built_in_games()) {
    const LinesCount count = lines_count_of(game, 3, 84);
    EXPECT_EQ(count.written, 3U);
    EXPECT_EQ(count.lines, 84U);
    EXPECT_EQ(count.cost, game.price ? std::optional<Cents>(84 * *game.price) : std::nullopt) << game.name;
  }
}

}  // namespace
}  // namespace rivit
