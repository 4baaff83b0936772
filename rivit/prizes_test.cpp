// Amounts as players write them, read and written back; a tier's prize set
// by name; and the expected return against a sum over tiers worked out here
// in exact cents.

#include "rivit/prizes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace rivit {
namespace {

TEST(AmountTest, ReadsWhatPlayersWriteAndRefusesTheRest) {
  const struct {
    const char* text;
    std::optional<Cents> cents;
  } kCases[] = {{"2", 200},           {"2.5", 250},   {"2.50", 250},        {"0.01", 1},   {"1000000", 100000000},
                {"1000000000", kMostAmount},          {"1000000000.01", {}}, {"", {}},     {"-1", {}},
                {"2.", {}},           {".5", {}},     {"2.505", {}},        {"2,50", 250},  {"2,5.0", {}},  {"1e3", {}},
                {" 2", {}},           {"2 ", {}},     {"9999999999999", {}}};
  for (const auto& c : kCases) EXPECT_EQ(parse_amount(c.text), c.cents) << c.text;
  std::mt19937_64 random(5);
  for (int i = 0; i < 1000; ++i) {
    const auto amount = static_cast<Cents>(random() % static_cast<std::uint64_t>(kMostAmount + 1));
    EXPECT_EQ(parse_amount(amount_text(amount)), amount) << amount_text(amount);
  }
}

Game two_tier_game() {
  Game game;
  game.name = "3/10";
  game.main = {10, 3};
  game.line = 3;
  game.tiers = {{"3", {.main = 3}, std::nullopt}, {"2", {.main = 2}, Cents{150}}};
  return game;
}

TEST(PrizeTest, SetsATierByItsNameOrSaysWhichTiersThereAre) {
  Game game = two_tier_game();
  EXPECT_EQ(set_prize(game, "3=1000.50"), std::nullopt);
  EXPECT_EQ(game.tiers[0].prize, Cents{100050});
  EXPECT_EQ(set_prize(game, "4=1"), "the game has no tier \"4\": its tiers are 3, 2");
  EXPECT_EQ(set_prize(game, "3"), "\"3\" is not TIER=AMOUNT");
  EXPECT_EQ(set_prize(game, "2=abc"), "\"abc\" is not an amount such as 2.50");
}

TEST(ExpectedReturnTest, IsTheLinesTimesEachTiersCountAndPrizeOverTheOutcomes) {
  std::mt19937_64 random(11);
  for (int trial = 0; trial < 200; ++trial) {
    Game game = two_tier_game();
    game.tiers[0].prize = static_cast<Cents>(random() % 100000000);
    game.tiers[1].prize = trial % 3 == 0 ? std::nullopt : std::optional<Cents>(random() % 100000);
    game.price = trial % 2 == 0 ? std::optional<Cents>(1 + random() % 500) : std::nullopt;
    TierOdds one_line;
    one_line.outcomes = 120;  // C(10, 3)
    one_line.tiers = {1, 21};
    one_line.none = 98;
    const std::uint64_t lines = 1 + random() % 1000;
    const ExpectedReturn expected = expected_return(game, one_line, lines);
    // Small enough here to sum in 64 bits: numerator over 120, rounded half up.
    std::uint64_t numerator = 0;
    for (std::size_t t = 0; t < 2; ++t) {
      numerator += one_line.tiers[t] * static_cast<std::uint64_t>(game.tiers[t].prize.value_or(0));
    }
    numerator *= lines;
    const std::uint64_t cents = numerator / 120 + (2 * (numerator % 120) >= 120 ? 1 : 0);
    EXPECT_EQ(expected.per_draw, static_cast<Cents>(cents));
    EXPECT_EQ(expected.unpriced.size(), game.tiers[1].prize ? 0U : 1U);
    EXPECT_EQ(expected.cost.has_value(), game.price.has_value());
    if (game.price) {
      EXPECT_EQ(*expected.cost, *game.price * static_cast<Cents>(lines));
      const double ratio = static_cast<double>(numerator) / 120.0 / static_cast<double>(*expected.cost);
      EXPECT_NEAR(*expected.per_unit, ratio, 0.00005 + ratio * 1e-12);
    }
  }
}

}  // namespace
}  // namespace rivit
