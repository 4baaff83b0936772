#include "rivit/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace rivit {
namespace {

// C(n, k) by Pascal's triangle, 0 outside it; the values the tests take fit.
std::uint64_t choose(int n, int k) {
  static const auto kTriangle = [] {
    std::array<std::array<std::uint64_t, 129>, 129> triangle{};
    for (std::size_t i = 0; i < triangle.size(); ++i) {
      triangle[i][0] = 1;
      for (std::size_t j = 1; j <= i; ++j) triangle[i][j] = triangle[i - 1][j - 1] + triangle[i - 1][j];
    }
    return triangle;
  }();
  if (k < 0 || n < 0 || k > n) return 0;
  return kTriangle[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

struct LineCounts {
  std::vector<std::uint64_t> tiers;
  std::uint64_t none = 0;
};

// The outcomes of one line by tier, by the hypergeometric closed formula:
// m main hits of the line's L in D drawn of N, then b of the line's L - m
// misses among the B bonus numbers drawn of the N - D left, then s of the
// k second-drum numbers of n; each (m, b, s) tallied to the first tier its
// hits meet.
LineCounts line_counts(const Game& game) {
  const int big_n = game.main.numbers;
  const int big_d = game.main.drawn;
  const int big_l = game.line;
  const int big_b = game.bonus;
  const int k = game.second.drawn;
  const int n = game.second.numbers;
  LineCounts counts{std::vector<std::uint64_t>(game.tiers.size(), 0), 0};
  for (int m = 0; m <= big_l; ++m) {
    for (int b = 0; b <= big_b; ++b) {
      for (int s = 0; s <= k; ++s) {
        const std::uint64_t outcomes = choose(big_l, m) * choose(big_n - big_l, big_d - m) * choose(big_l - m, b) *
                                       choose(big_n - big_d - (big_l - m), big_b - b) * choose(k, s) *
                                       choose(n - k, k - s);
        const std::optional<std::size_t> tier = tier_of(game, m, b, s);
        (tier ? counts.tiers[*tier] : counts.none) += outcomes;
      }
    }
  }
  return counts;
}

std::uint64_t outcomes_of(const Game& game) {
  return choose(game.main.numbers, game.main.drawn) * choose(game.main.numbers - game.main.drawn, game.bonus) *
         choose(game.second.numbers, game.second.drawn);
}

const Game& built_in(std::string_view name) {
  for (const Game& game : built_in_games()) {
    if (game.name == name) return game;
  }
  ADD_FAILURE() << "no built-in game " << name;
  return built_in_games().front();
}

TEST(BuiltInGames, CanBePlayedAndAreFoundByTheirNames) {
  const std::regex iso_date(R"(\d{4}-(0[1-9]|1[0-2])(-(0[1-9]|[12]\d|3[01]))?)");
  std::set<std::string> names;
  for (const Game& game : built_in_games()) {
    SCOPED_TRACE(game.name);
    EXPECT_EQ(game_problem(game), std::nullopt);
    EXPECT_TRUE(names.insert(game.name).second) << "named twice";
    EXPECT_TRUE(game.rules_from.empty() || std::regex_match(game.rules_from, iso_date)) << game.rules_from;
    EXPECT_TRUE(game.source.starts_with("https://") || game.source.starts_with("http://")) << game.source;
    EXPECT_NE(game.title.find(" ("), std::string::npos) << "a title names its country: " << game.title;
    const ParsedGame parsed = parse_game(game.name, game.name == "keno" ? game.line : 0);
    ASSERT_TRUE(parsed.game) << parsed.error;
    EXPECT_EQ(*parsed.game, game);
  }
  EXPECT_EQ(names.size(), 14U);
}

// The counts of one line published for each game (the share of all outcomes
// that wins each tier, as an exact count), in the operators' tier order.
// They prove the tiers' conditions and order, since each (main, bonus,
// second) goes to the first tier it meets.
TEST(BuiltInGames, OneLineWinsEachTierAsOftenAsPublished) {
  const struct {
    const char* game;
    std::vector<std::uint64_t> tiers;
  } kPublished[] = {
      {"lotto", {33, 231, 7392, 365904, 6301680, 5728800}},
      {"eurojackpot", {1, 20, 45, 225, 4500, 9900, 10125, 141900, 198000, 445500, 744975, 2838000}},
      {"euromillions", {1, 20, 45, 225, 4500, 9900, 10125, 141900, 198000, 445500, 744975, 2838000, 6385500}},
      {"vikinglotto", {1, 4, 252, 1008, 12915, 51660, 229600, 918400}},
      {"powerball", {1, 25, 320, 8000, 20160, 504000, 416640, 3176880, 7624512}},
      {"mega-millions", {1, 23, 325, 7475, 20800, 478400, 436800, 3385200, 8259888}},
      {"uk-lotto", {53, 318, 16536, 1095510, 24831560, 232795875}},
      {"irish-lotto", {41, 246, 9840, 24600, 479700, 639600, 8101600, 6076200}},
      {"oz-lotto", {9880, 207480, 2558920, 23652720, 138181680, 3416504000, 8764301000}},
      {"saturday-lotto", {741, 8892, 164502, 8236215, 20288580, 115151400}},
      {"powerball-au", {1, 19, 196, 3724, 7938, 114660, 150822, 716625, 2063880}},
      {"lotto-649", {43, 258, 10836, 582435, 10613260, 7404600, 72194850}},
      {"superenalotto", {84, 504, 41832, 4392360, 160077120, 2431171260}},
  };
  for (const auto& published : kPublished) {
    const Game& game = built_in(published.game);
    const LineCounts counts = line_counts(game);
    EXPECT_EQ(counts.tiers, published.tiers) << game.name;
    std::uint64_t total = counts.none;
    for (const std::uint64_t count : counts.tiers) total += count;
    EXPECT_EQ(total, outcomes_of(game)) << game.name;
  }
}

// Keno's level-10 odds as published to two decimals ("1 in 2 147 180.74"
// for 10 hits, no hit at all 1 in 38.62), and at every level the count of
// k hits, which is also C(20, k)·C(50, s - k) of the C(70, s) lines a draw
// of 20 leaves.
TEST(BuiltInGames, KenoWinsByHitsAtEveryLevel) {
  const double kLevelTenOdds[] = {2147180.74, 47237.98, 2570.77, 261.09, 44.44, 12.08};
  for (int spots = 2; spots <= 10; ++spots) {
    const ParsedGame keno = parse_game("keno", spots);
    ASSERT_TRUE(keno.game) << keno.error;
    ASSERT_EQ(keno.game->tiers.size(), static_cast<std::size_t>(spots));
    const LineCounts counts = line_counts(*keno.game);
    const auto space = static_cast<double>(outcomes_of(*keno.game));
    for (int hits = spots; hits >= 1; --hits) {
      const auto tier = static_cast<std::size_t>(spots - hits);
      EXPECT_EQ(keno.game->tiers[tier].name, std::to_string(hits));
      const double share = static_cast<double>(choose(20, hits)) * static_cast<double>(choose(50, spots - hits)) /
                           static_cast<double>(choose(70, spots));
      EXPECT_NEAR(static_cast<double>(counts.tiers[tier]) / space, share, share * 1e-12) << spots;
      if (spots == 10 && tier < std::size(kLevelTenOdds)) {
        EXPECT_NEAR(space / static_cast<double>(counts.tiers[tier]), kLevelTenOdds[tier], 0.005) << hits;
      }
    }
    if (spots == 10) {
      EXPECT_NEAR(space / static_cast<double>(counts.none), 38.62, 0.005);
    }
  }
}

// Hits over all C(40, 7) draws of one 7/40 line, as lottoklinikka.fi
// tabulates them: the short form's tiers are every count of hits.
TEST(ShortForms, OneLineOfSevenOfFortyHitsAsTabulated) {
  const ParsedGame game = parse_game("7/40");
  ASSERT_TRUE(game.game) << game.error;
  const LineCounts counts = line_counts(*game.game);
  EXPECT_EQ(counts.tiers, (std::vector<std::uint64_t>{1, 231, 11088, 190960, 1432200, 4984056, 7752976}));
  EXPECT_EQ(counts.none, 4272048U);
}

// A short form's tiers, whatever the shape: every (m, b, s) that a line can
// have with a main or second hit meets exactly one tier, and one without
// meets none; most main hits come first, then most of the others.
TEST(ShortForms, TiersAreEveryCombinationOfHitsOnceInOrder) {
  std::mt19937 random(20261209);
  const auto uniform = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int trial = 0; trial < 300; ++trial) {
    const int drawn = uniform(1, 8);
    const int numbers = uniform(drawn + 1, kMostGameNumbers);
    const int shape = uniform(0, 3);  // one drum, a bonus, a second drum, both
    // Appended, as GCC 12 at -O3 takes a literal added before a temporary
    // string for an overlapping copy.
    std::string form = std::to_string(drawn);
    form.append("/").append(std::to_string(numbers));
    if (shape == 1 || shape == 3) form.append("+").append(std::to_string(uniform(1, std::min(3, numbers - drawn))));
    if (shape >= 2) {
      const int k = uniform(1, 2);
      form.append("+").append(std::to_string(k)).append("/").append(std::to_string(uniform(k + 1, 30)));
    }
    const int line = uniform(0, 2) == 0 ? uniform(1, std::min(numbers - 1, 10)) : 0;
    if (line != 0 && line != drawn) form.append(" ").append(std::to_string(line));
    SCOPED_TRACE(form);
    const ParsedGame parsed = parse_game(form);
    if (!parsed.game) {
      EXPECT_NE(parsed.error.find("tiers"), std::string::npos) << parsed.error;
      continue;
    }
    const Game& game = *parsed.game;
    EXPECT_EQ(short_form(game), form);
    EXPECT_EQ(game.name, form);
    EXPECT_EQ(parse_game(short_form(game)).game, game);

    int previous_main = kMostLineNumbers + 1;
    int previous_rest = 0;
    for (const Tier& tier : game.tiers) {
      const int main = tier.when.main.value_or(-1);
      const int rest = tier.when.bonus.value_or(0) * 8 + tier.when.second.value_or(0);
      EXPECT_TRUE(main < previous_main || (main == previous_main && rest < previous_rest)) << tier.name;
      previous_main = main;
      previous_rest = rest;
    }
    for (int m = 0; m <= std::min(game.line, game.main.drawn); ++m) {
      for (int b = 0; b <= std::min(game.bonus, game.line - m); ++b) {
        for (int s = 0; s <= game.second.drawn; ++s) {
          int met = 0;
          for (const Tier& tier : game.tiers) met += meets(tier.when, m, b, s) ? 1 : 0;
          EXPECT_EQ(met, m > 0 || s > 0 ? 1 : 0) << m << "+" << b << "+" << s;
        }
      }
    }
  }
}

TEST(ShortForms, ReadAsTheGamesTheyName) {
  const struct {
    const char* text;
    int line;
    const char* form;
    std::vector<std::string> first_tiers;
    std::size_t tiers;
  } kCases[] = {
      {"6/49", 0, "6/49", {"6", "5", "4"}, 6},
      {"7/40+1", 0, "7/40+1", {"7", "6+1", "6", "5+1", "5"}, 13},
      {"5/50+2/12", 0, "5/50+2/12", {"5+2", "5+1", "5+0", "4+2"}, 17},
      {"6/45+2", 0, "6/45+2", {"6", "5+1", "5", "4+2", "4+1", "4"}, 15},
      {"20/80", 10, "20/80 10", {"10", "9", "8"}, 10},
      {"20/70 4", 0, "20/70 4", {"4", "3", "2", "1"}, 4},
      {"7/40+1+1/30", 0, "7/40+1+1/30", {"7+0+1", "7+0+0", "6+1+1", "6+1+0", "6+0+1"}, 28},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const ParsedGame parsed = parse_game(c.text, c.line);
    ASSERT_TRUE(parsed.game) << parsed.error;
    EXPECT_EQ(short_form(*parsed.game), c.form);
    ASSERT_EQ(parsed.game->tiers.size(), c.tiers);
    for (std::size_t i = 0; i < c.first_tiers.size(); ++i) EXPECT_EQ(parsed.game->tiers[i].name, c.first_tiers[i]);
  }
  for (const Game& game : built_in_games()) {
    const ParsedGame shape = parse_game(short_form(game));
    ASSERT_TRUE(shape.game) << short_form(game) << ": " << shape.error;
    EXPECT_EQ(std::tie(shape.game->main, shape.game->bonus, shape.game->second, shape.game->line),
              std::tie(game.main, game.bonus, game.second, game.line));
  }
  EXPECT_EQ(short_form(built_in("lotto")), "7/40+1");
  EXPECT_EQ(short_form(built_in("eurojackpot")), "5/50+2/12");
  EXPECT_EQ(short_form(built_in("keno")), "20/70 10");
}

TEST(ShortForms, WhatIsNoGameIsNamed) {
  const struct {
    const char* text;
    int line;
    const char* said;
  } kCases[] = {
      {"lotto2", 0, "the games are lotto, eurojackpot, euromillions"},
      {"", 0, "\"\" is no game"},
      {"6/", 0, "is no short form"},
      {"/49", 0, "is no short form"},
      {"6/49+", 0, "is no short form"},
      {"6/49+1/", 0, "is no short form"},
      {"6/49+1+2", 0, "is no short form"},
      {"6/49+1/2+3/4", 0, "is no short form"},
      {"6/-49", 0, "is no short form"},
      {"6/49 x", 0, "is no short form"},
      {"six/49", 0, "is no short form"},
      {"8/7", 0, "8/7: the main drum draws 1 to 6 of its 7 numbers, not 8"},
      {"6/200", 0, "the main drum has 2 to 128 numbers, not 200"},
      {"1000000000/2000000000", 0, "the main drum has 2 to 128 numbers"},
      {"5/50+2/1", 0, "the second drum"},
      {"6/49", 49, "a line holds"},
      {"10/80+5/10", 0, "tiers"},
      {"keno", 0, "keno needs --length 2..10"},
      {"keno", 11, "keno needs --length 2..10 (the numbers a line holds), not 11"},
      {"keno", 1, "not 1"},
      {"lotto", 8, "Lotto (Finland) has lines of 7 numbers, not 8"},
  };
  for (const auto& c : kCases) {
    const ParsedGame parsed = parse_game(c.text, c.line);
    EXPECT_FALSE(parsed.game) << c.text;
    EXPECT_NE(parsed.error.find(c.said), std::string::npos) << c.text << ": " << parsed.error;
  }
}

TEST(GameFiles, EveryGameReadsBackFromItsFile) {
  std::vector<Game> games(built_in_games().begin(), built_in_games().end());
  for (const char* form : {"6/49", "7/40+1+1/30", "20/80"}) games.push_back(*parse_game(form, 0).game);
  games.push_back(*parse_game("keno", 3).game);
  Game odd = built_in("powerball");
  odd.price = 1;  // a cent
  odd.tiers[1].prize = 12345678901;
  odd.tiers[2].when = {.main = 4, .bonus_at_least = 0};
  games.push_back(odd);
  for (const Game& game : games) {
    const std::string file = game_file(game);
    const ParsedGame parsed = parse_game_file(file);
    ASSERT_TRUE(parsed.game) << parsed.error << "\n" << file;
    EXPECT_EQ(*parsed.game, game) << file;
  }
}

TEST(GameFiles, TheCommentedFormReads) {
  const ParsedGame parsed = parse_game_file(R"({"name": "oz", "main": {"numbers": 47, "drawn": 7, "bonus": 3},
    "line": 7, "price": 1.1, "tiers": [{"name": "7", "main": 7, "prize": 1000.5},
    {"name": "6+", "main": 6, "bonus_at_least": 1}]})");
  ASSERT_TRUE(parsed.game) << parsed.error;
  const Game& game = *parsed.game;
  EXPECT_EQ(game.title, "oz");
  EXPECT_EQ(game.main, (Drum{47, 7}));
  EXPECT_EQ(game.bonus, 3);
  EXPECT_FALSE(game.has_second());
  EXPECT_EQ(game.price, 110);
  const std::vector<Tier> tiers = {{"7", {.main = 7}, 100050}, {"6+", {.main = 6, .bonus_at_least = 1}, std::nullopt}};
  EXPECT_EQ(game.tiers, tiers);
}

TEST(GameFiles, WhatIsWrongIsNamed) {
  const std::string kMain = R"("main": {"numbers": 40, "drawn": 7})";
  const std::string kTiers = R"("tiers": [{"name": "7", "main": 7}])";
  const auto file = [&](const std::string& more) { return R"({"name": "g", )" + more + "}"; };
  const struct {
    std::string text;
    const char* said;
  } kCases[] = {
      {"", "not JSON"},
      {"{", "not JSON: parse error at line 1, column 2"},
      {file(kMain + ", " + kTiers + ", \"line\": 1e500"), "not JSON"},
      {"[]", "the game file is not an object"},
      {file(kMain + ", " + kTiers + ", \"colour\": 1"), "unknown key \"colour\""},
      {file(kTiers), "\"main\" is missing"},
      {file(kMain), "\"tiers\" is missing"},
      {"{" + kMain + ", " + kTiers + "}", "\"name\" is missing"},
      {R"({"name": "", )" + kMain + ", " + kTiers + "}", "\"name\" is empty"},
      {R"({"name": 7, )" + kMain + ", " + kTiers + "}", R"("name" is not text)"},
      {file(R"("main": 40, )" + kTiers), "\"main\" is not an object"},
      {file(R"("main": {"numbers": 40.5, "drawn": 7}, )" + kTiers), "\"main.numbers\" is not a whole number"},
      {file(R"("main": {"numbers": -40, "drawn": 7}, )" + kTiers), "\"main.numbers\" is not a whole number"},
      {file(R"("main": {"numbers": 40}, )" + kTiers), "\"main.drawn\" is missing"},
      {file(R"("main": {"numbers": 40, "drawn": 7, "extra": 1}, )" + kTiers), "unknown key \"main.extra\""},
      {file(kMain + R"(, "second": {"numbers": 5, "drawn": 1, "bonus": 1}, )" + kTiers), "\"second.bonus\""},
      {file(kMain + R"(, "tiers": {})"), "\"tiers\" is not a list"},
      {file(kMain + R"(, "tiers": [{"main": 7}])"), "\"tiers[0].name\" is missing"},
      {file(kMain + R"(, "tiers": [{"name": "7", "main": 7}, {"name": "8", "main": 8}])"),
       "the tier \"8\" asks for hits that no line can have"},
      {file(kMain + R"(, "tiers": [{"name": "7", "main": 7, "prize": 1.005}])"),
       "\"tiers[0].prize\" is not a whole number of cents"},
      {file(kMain + R"(, "tiers": [{"name": "7", "main": 7, "hits": 7}])"), "unknown key \"tiers[0].hits\""},
      {file(kMain + ", " + kTiers + R"(, "price": "2")"), R"("price" is not an amount: ""2"")"},
      {file(kMain + ", " + kTiers + R"(, "price": -1)"), "\"price\" is not an amount from 0"},
      {file(kMain + ", " + kTiers + R"(, "line": 41)"), "a line holds 1 to 20 main numbers, not 41"},
      {file(kMain + R"(, "tiers": [])"), "a game has 1 to 32 tiers, not 0"},
  };
  for (const auto& c : kCases) {
    const ParsedGame parsed = parse_game_file(c.text);
    EXPECT_FALSE(parsed.game) << c.text;
    EXPECT_NE(parsed.error.find(c.said), std::string::npos) << c.text << "\n" << parsed.error;
  }
}

}  // namespace
}  // namespace rivit
