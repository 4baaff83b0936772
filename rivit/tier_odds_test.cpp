#include "rivit/tier_odds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <span>
#include <vector>

namespace rivit {
namespace {

constexpr std::optional<int> kAny;

// A tier by its main and second hits, any bonus.
Tier tier(std::string name, std::optional<int> main, std::optional<int> second = kAny) {
  Tier made;
  made.name = std::move(name);
  made.when.main = main;
  made.when.second = second;
  return made;
}

// A tier by its main hits and exactly `bonus` of the bonus numbers.
Tier bonus_tier(std::string name, std::optional<int> main, int bonus) {
  Tier made = tier(std::move(name), main);
  made.when.bonus = bonus;
  return made;
}

// A tier by its main hits and at least `least` of the bonus numbers.
Tier supp_tier(std::string name, std::optional<int> main, int least) {
  Tier made = tier(std::move(name), main);
  made.when.bonus_at_least = least;
  return made;
}

// A tier by its main hits, a bonus number or more, and its second hits.
Tier both_tier(std::string name, int main, int least, int second) {
  Tier made = supp_tier(std::move(name), main, least);
  made.when.second = second;
  return made;
}

Game game_of(Drum main, int bonus, Drum second, int line, std::vector<Tier> tiers) {
  Game game;
  game.name = "test";
  game.main = main;
  game.bonus = bonus;
  game.second = second;
  game.line = line;
  game.tiers = std::move(tiers);
  return game;
}

// Calls visit(set) for every set of `size` numbers of `pool` added to `chosen`.
template <typename Visit>
void each_subset(std::span<const int> pool, int size, NumberSet chosen, const Visit& visit) {
  if (size == 0) return visit(chosen);
  for (std::size_t i = 0; i + static_cast<std::size_t>(size) <= pool.size(); ++i) {
    NumberSet next = chosen;
    next.add(pool[i]);
    each_subset(pool.subspan(i + 1), size - 1, next, visit);
  }
}

// Every outcome against every line: the main draw, each bonus set from the
// numbers it leaves, each second draw; each line's tier is the first it
// meets (tier_of, looked up by the hits), and the outcome's the best of them.
TierOdds every_outcome(const Game& game, const std::vector<GameLine>& lines) {
  const std::size_t none = game.tiers.size();
  const auto at = [](int m, int b, int s) {
    return (static_cast<std::size_t>(m) * (kMostBonus + 1) + static_cast<std::size_t>(b)) * (kMostLineNumbers + 1) +
           static_cast<std::size_t>(s);
  };
  std::vector<std::size_t> tier_by_hits(at(kMostLineNumbers + 1, 0, 0), none);
  for (int m = 0; m <= kMostLineNumbers; ++m) {
    for (int b = 0; b <= kMostBonus; ++b) {
      for (int s = 0; s <= kMostLineNumbers; ++s) tier_by_hits[at(m, b, s)] = tier_of(game, m, b, s).value_or(none);
    }
  }
  TierOdds odds{.lines = lines.size(), .outcomes = 0, .tiers = std::vector<std::uint64_t>(game.tiers.size())};
  const std::vector<int> main = NumberSet::first(game.main.numbers).numbers();
  const std::vector<int> second = NumberSet::first(game.has_second() ? game.second.numbers : 0).numbers();
  each_subset(main, game.main.drawn, {}, [&](const NumberSet& draw) {
    const std::vector<int> rest = (NumberSet::first(game.main.numbers) - draw).numbers();
    each_subset(rest, game.bonus, {}, [&](const NumberSet& bonus) {
      each_subset(second, game.has_second() ? game.second.drawn : 0, {}, [&](const NumberSet& second_draw) {
        std::size_t best = none;
        for (const GameLine& line : lines) {
          const int m = (line.main & draw).size();
          best = std::min(best, tier_by_hits[at(m, (line.main & bonus).size(), (line.second & second_draw).size())]);
        }
        ++odds.outcomes;
        ++(best < none ? odds.tiers[best] : odds.none);
      });
    });
  });
  return odds;
}

// A random line of numbers from 1 to `pool` (of the second drum: from all).
GameLine random_line(std::mt19937_64& random, const Game& game, int pool) {
  GameLine line;
  std::vector<int> numbers(static_cast<std::size_t>(pool));
  std::iota(numbers.begin(), numbers.end(), game.main.numbers - pool + 1);
  std::shuffle(numbers.begin(), numbers.end(), random);
  for (int i = 0; i < game.line; ++i) line.main.add(numbers[static_cast<std::size_t>(i)]);
  if (game.has_second()) {
    numbers.resize(static_cast<std::size_t>(game.second.numbers));
    std::iota(numbers.begin(), numbers.end(), 1);
    std::shuffle(numbers.begin(), numbers.end(), random);
    for (int i = 0; i < game.second.drawn; ++i) line.second.add(numbers[static_cast<std::size_t>(i)]);
  }
  return line;
}

// `count` lines of numbers from the top `pool` numbers, some repeated.
std::vector<GameLine> random_lines(std::mt19937_64& random, const Game& game, int pool, std::size_t count) {
  std::vector<GameLine> lines;
  while (lines.size() < count) {
    lines.push_back(!lines.empty() && random() % 6 == 0 ? lines[static_cast<std::size_t>(random() % lines.size())]
                                                        : random_line(random, game, pool));
  }
  return lines;
}

// The pieces in a shuffled order, dealt out to two counters whose tallies
// are summed, as the command counts on two threads.
TierOdds odds_in_pieces(const TierCount& count, std::mt19937_64& random) {
  std::vector<std::size_t> order(count.pieces());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::shuffle(order.begin(), order.end(), random);
  std::vector<TierCount::Counter> counters;
  counters.emplace_back(count);
  counters.emplace_back(count);
  for (const std::size_t piece : order) counters[static_cast<std::size_t>(random() % 2)].count(piece);
  TierTally sum;
  for (const TierCount::Counter& counter : counters) sum.add(counter.tally());
  return count.odds(sum);
}

void expect_same(const TierOdds& got, const TierOdds& expected, const std::string& what) {
  EXPECT_EQ(got.outcomes, expected.outcomes) << what;
  EXPECT_EQ(got.tiers, expected.tiers) << what;
  EXPECT_EQ(got.none, expected.none) << what;
  EXPECT_EQ(got.lines, expected.lines) << what;
}

struct SmallGame {
  const char* what;
  Game game;
};

// One game of each shape, small enough to go through every outcome.
std::vector<SmallGame> small_games() {
  return {
      {"one bonus number",
       game_of({14, 5}, 1, {}, 5,
               {tier("5", 5), bonus_tier("4+1", 4, 1), tier("4", 4), tier("3", 3), supp_tier("2+1", 2, 1)})},
      {"three supplementaries",
       game_of({12, 5}, 3, {}, 5,
               {tier("5", 5), supp_tier("4 + a supp", 4, 1), tier("4", 4), bonus_tier("3 + 2 supps", 3, 2),
                supp_tier("3 + a supp or more", 3, 1), bonus_tier("2 + every supp", 2, 3),
                bonus_tier("1 + no supp", 1, 0), supp_tier("any + 2 supps or more", kAny, 2)})},
      {"a second drum",
       game_of({12, 4}, 0, {5, 2}, 4,
               {tier("4+2", 4, 2), tier("4+1", 4, 1), tier("4", 4, 0), tier("3+2", 3, 2), tier("3+1", 3, 1),
                tier("2+2", 2, 2), tier("3", 3, 0), tier("1+2", 1, 2), tier("2+1", 2, 1)})},
      {"three of a second drum, where a line's classes move",
       game_of({10, 3}, 0, {6, 3}, 3,
               {tier("3+3", 3, 3), tier("3+2", 3, 2), tier("2+3", 2, 3), tier("3+1", 3, 1), tier("2+2", 2, 2),
                tier("1+3", 1, 3), tier("3", 3, 0), tier("2+1", 2, 1), tier("1+2", 1, 2), tier("0+3", 0, 3)})},
      {"a Keno line shorter than the draw, paid for 4, 2 and no hits",
       game_of({16, 7}, 0, {}, 4, {tier("4", 4), tier("2", 2), tier("0", 0)})},
      {"tiers out of hit order", game_of({13, 5}, 0, {4, 1}, 5,
                                         {tier("5+P", 5, 1), tier("5", 5), tier("4+P", 4, 1), tier("3+P", 3, 1),
                                          tier("4", 4), tier("1", 1, 0), tier("P", kAny, 1)})},
      {"a bonus number and a second drum",
       game_of({10, 3}, 1, {3, 1}, 3,
               {tier("3+1", 3, 1), tier("3", 3), both_tier("2 + bonus + 1", 2, 1, 1), bonus_tier("2 + bonus", 2, 1),
                tier("1+1", 1, 1)})},
      {"numbers above 64 and a bonus that lowers a tier",
       game_of({68, 2}, 1, {}, 3, {bonus_tier("2", 2, 0), bonus_tier("1+1", 1, 1), tier("2+1", 2)})},
  };
}

TEST(TierOdds, AgreesWithEveryOutcomeAgainstEveryLine) {
  std::mt19937_64 random(20261209);
  // More than 64 lines take two words of lines, where the brute force
  // goes through them in reasonable time.
  constexpr std::size_t kLineCounts[] = {1, 3, 10, 70};
  constexpr std::uint64_t kMostLinesTimesOutcomes = 2000000;
  for (const SmallGame& small : small_games()) {
    const Game& game = small.game;
    ASSERT_EQ(game_problem(game), std::nullopt) << small.what;
    for (const std::size_t count : kLineCounts) {
      if (count * line_odds(game).outcomes > kMostLinesTimesOutcomes) continue;
      // Lines from fewer numbers leave some out, so that a draw's part
      // inside them is a class of many draws; from all of them, none is.
      const int pool = std::uniform_int_distribution<int>(game.line + 1, game.main.numbers)(random);
      const std::vector<GameLine> lines = random_lines(random, game, count <= 3 ? pool : game.main.numbers, count);
      const std::string what = std::string(small.what) + ", " + std::to_string(count) + " lines";
      const TierOdds expected = every_outcome(game, lines);
      const TierCount tier_count(game, lines);
      EXPECT_EQ(tier_odds_problem(tier_count), std::nullopt) << what;
      expect_same(odds_in_pieces(tier_count, random), expected, what);
      expect_same(tier_odds_of(game, lines), expected, what);
    }
  }
}

// The closed formula for one line against every outcome, and the count of
// one line, and of no line, against the formula.
TEST(TierOdds, OneLineByTheFormula) {
  std::mt19937_64 random(20261210);
  for (const SmallGame& small : small_games()) {
    const std::vector<GameLine> one = {random_line(random, small.game, small.game.main.numbers)};
    const TierOdds expected = every_outcome(small.game, one);
    expect_same(line_odds(small.game), expected, small.what);

    const TierOdds none = tier_odds_of(small.game, {});
    EXPECT_EQ(none.none, expected.outcomes) << small.what;
    EXPECT_EQ(none.tiers, std::vector<std::uint64_t>(small.game.tiers.size())) << small.what;
  }
}

struct RealGame {
  const char* what;
  Game game;
  std::vector<std::uint64_t> published;  // one line's outcomes in each tier; empty where not published
};

std::vector<RealGame> real_games() {
  Game keno =
      game_of({70, 20}, 0, {}, 10,
              {tier("10", 10), tier("9", 9), tier("8", 8), tier("7", 7), tier("6", 6), tier("5", 5), tier("0", 0)});
  return {
      {"Lotto (Finland)",
       game_of(
           {40, 7}, 1, {}, 7,
           {tier("7", 7), supp_tier("6+1", 6, 1), tier("6", 6), tier("5", 5), tier("4", 4), supp_tier("3+1", 3, 1)}),
       {33, 231, 7392, 365904, 6301680, 5728800}},
      {"Eurojackpot",
       game_of({50, 5}, 0, {12, 2}, 5,
               {tier("5+2", 5, 2), tier("5+1", 5, 1), tier("5+0", 5, 0), tier("4+2", 4, 2), tier("4+1", 4, 1),
                tier("3+2", 3, 2), tier("4+0", 4, 0), tier("2+2", 2, 2), tier("3+1", 3, 1), tier("3+0", 3, 0),
                tier("1+2", 1, 2), tier("2+1", 2, 1)}),
       {1, 20, 45, 225, 4500, 9900, 10125, 141900, 198000, 445500, 744975, 2838000}},
      {"Oz Lotto",
       game_of(
           {47, 7}, 3, {}, 7,
           {tier("Division 1", 7), supp_tier("Division 2", 6, 1), tier("Division 3", 6), supp_tier("Division 4", 5, 1),
            tier("Division 5", 5), tier("Division 6", 4), supp_tier("Division 7", 3, 1)}),
       {9880, 207480, 2558920, 23652720, 138181680, 3416504000, 8764301000}},
      {"Powerball (Australia)",
       game_of({35, 7}, 0, {20, 1}, 7,
               {tier("Division 1", 7, 1), tier("Division 2", 7), tier("Division 3", 6, 1), tier("Division 4", 6),
                tier("Division 5", 5, 1), tier("Division 6", 4, 1), tier("Division 7", 5), tier("Division 8", 3, 1),
                tier("Division 9", 2, 1)}),
       {1, 19, 196, 3724, 7938, 114660, 150822, 716625, 2063880}},
      {"SuperEnalotto",
       game_of({90, 6}, 1, {}, 6,
               {tier("6", 6), bonus_tier("5+1", 5, 1), tier("5", 5), tier("4", 4), tier("3", 3), tier("2", 2)}),
       {84, 504, 41832, 4392360, 160077120, 2431171260}},
      {"Keno (Finland), 10 spots", keno, {}},
  };
}

TEST(TierOdds, RealGamesMatchThePublishedCountsAndTheCount) {
  std::mt19937_64 random(20261211);
  for (const RealGame& real : real_games()) {
    ASSERT_EQ(game_problem(real.game), std::nullopt) << real.what;
    const TierOdds odds = line_odds(real.game);
    if (!real.published.empty()) {
      EXPECT_EQ(odds.tiers, real.published) << real.what;
    }
    EXPECT_EQ(std::accumulate(odds.tiers.begin(), odds.tiers.end(), odds.none), odds.outcomes) << real.what;

    // A line of the highest numbers, and a random one.
    const GameLine highest = random_line(random, real.game, real.game.line);
    const std::vector<GameLine> lines[] = {{highest}, {random_line(random, real.game, real.game.main.numbers)}};
    for (const std::vector<GameLine>& line : lines) {
      const TierCount count(real.game, line);
      ASSERT_EQ(tier_odds_problem(count), std::nullopt) << real.what;
      expect_same(odds_in_pieces(count, random), odds, real.what);
    }
  }
}

TEST(TierOdds, SaysWhenTheOutcomesAreTooManyToCount) {
  const RealGame keno = real_games().back();
  std::vector<GameLine> lines(7);
  for (int n = 1; n <= 70; ++n) lines[static_cast<std::size_t>(n - 1) % 7].main.add(n);
  const TierCount every_number(keno.game, lines);
  EXPECT_GT(every_number.work(), kMostTierWork);
  EXPECT_EQ(tier_odds_problem(every_number), "the lines hold 70 numbers: too many to count every outcome");

  // A game past 64 bits of outcomes is no game to count at all.
  const Game huge = game_of({128, 20}, 0, {}, 20, {tier("20", 20)});
  EXPECT_EQ(game_problem(huge), "the game has more outcomes than 64 bits count");
  EXPECT_EQ(parse_game("20/128").error, "20/128: the game has more outcomes than 64 bits count");
}

}  // namespace
}  // namespace rivit
