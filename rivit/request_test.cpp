#include "rivit/request.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "rivit/guarantee.h"
#include "rivit/pool.h"

namespace rivit {
namespace {

int between(std::mt19937_64& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

// A lottery within the limits, smaller ones more often, so that pools and
// guarantees meet the bounds of their ranges.
Lottery some_lottery(std::mt19937_64& random) {
  const int length = between(random, kShortestRow, kLongestRow);
  const int most =
      between(random, 0, 3) == 0 ? kMostNumbers : std::min(kMostNumbers, length + 1 + between(random, 0, 30));
  return {between(random, length + 1, most), length};
}

// A pool as a player may write it: nothing (every number), a range, a list,
// or something that is no pool of the lottery.
std::optional<std::string> some_pool_text(std::mt19937_64& random, Lottery lottery) {
  switch (between(random, 0, 4)) {
    case 0: return std::nullopt;
    case 1: return "1-" + std::to_string(between(random, 1, lottery.numbers + 2));
    case 2: return std::to_string(between(random, 1, lottery.numbers)) + "-" + std::to_string(lottery.numbers);
    case 3: return "1-" + std::to_string(lottery.length) + ",x";
    default: return "";
  }
}

// T or M as a player may give them: nothing, or a number from `low` to `high`.
std::optional<int> some_count(std::mt19937_64& random, int low, int high) {
  return between(random, 0, 3) == 0 ? std::nullopt : std::optional(between(random, low, high));
}

// A seed as a player may write it: a number, or something that is none.
std::optional<std::string> some_seed_text(std::mt19937_64& random) {
  const std::vector<std::string> texts = {"0",  "18446744073709551615",  "18446744073709551616", "-1", "12x", "",
                                          " 5", std::to_string(random())};
  if (between(random, 0, 3) == 0) return std::nullopt;
  return texts[static_cast<std::size_t>(between(random, 0, static_cast<int>(texts.size()) - 1))];
}

// Steps and seconds as a player may give them: nothing, or a number on
// either side of the ends of their ranges.
std::optional<std::uint64_t> some_steps(std::mt19937_64& random) {
  const std::vector<std::uint64_t> steps = {0, 1, random() % 1000 + 1, kMostSteps, kMostSteps + 1};
  if (between(random, 0, 1) == 0) return std::nullopt;
  return steps[static_cast<std::size_t>(between(random, 0, static_cast<int>(steps.size()) - 1))];
}

std::optional<double> some_seconds(std::mt19937_64& random) {
  const std::vector<double> seconds = {-1, 0, 0.0009, 0.001, 0.5, 604800, 604800.5};
  if (between(random, 0, 1) == 0) return std::nullopt;
  return seconds[static_cast<std::size_t>(between(random, 0, static_cast<int>(seconds.size()) - 1))];
}

bool steps_in_range(std::optional<std::uint64_t> steps) { return !steps || (*steps >= 1 && *steps <= kMostSteps); }
bool seconds_in_range(std::optional<double> seconds) { return !seconds || (*seconds >= 0.001 && *seconds <= 604800); }

bool pool_reads(Lottery lottery, const std::optional<std::string>& text) {
  return !text || parse_pool(*text, lottery).error.empty();
}

bool seed_reads(const std::optional<std::string>& text) { return !text || seed_of(*text).accepted(); }

TEST(Request, ASeedIsDecimalDigitsThatFit64BitsAndNothingElse) {
  std::mt19937_64 random(1);
  for (int trial = 0; trial < 1000; ++trial) {
    const std::uint64_t seed = random() >> between(random, 0, 63);
    const Validated<std::uint64_t> read = seed_of(std::to_string(seed));
    ASSERT_TRUE(read.accepted()) << seed;
    ASSERT_EQ(read.request(), seed);
  }
  for (const char* text : {"", "-1", "+1", "0x10", "1e3", " 1", "1 ", "18446744073709551616", "12x", "Ω"}) {
    const Validated<std::uint64_t> read = seed_of(text);
    ASSERT_FALSE(read.accepted()) << text;
    EXPECT_EQ(read.refusal(),
              (Refusal{"--seed",
                       std::string("\"").append(text).append("\" is not an integer from 0 to 18446744073709551615")}));
  }
}

TEST(Request, ALotteryIsWithinTheLimitsOrRefusedAtItsLength) {
  for (int length = -1; length <= kLongestRow + 1; ++length) {
    for (int numbers = -1; numbers <= kMostNumbers + 1; ++numbers) {
      const Validated<Lottery> read = lottery_of(numbers, length);
      ASSERT_EQ(read.accepted(), within_limits({numbers, length})) << numbers << " " << length;
      ASSERT_EQ(read.accepted() ? "" : read.refusal().field, read.accepted() ? "" : "--length");
      if (read.accepted()) {
        ASSERT_EQ(read.request(), (Lottery{numbers, length}));
      }
    }
  }
  EXPECT_EQ(lottery_of(40, 11).refusal().message, "a row has 2 to 10 numbers, not 11");
}

TEST(Request, AGuaranteeCheckedIsOfThePoolWithMDefaultingToTOrNamesTheFieldWrong) {
  std::mt19937_64 random(2);
  std::map<std::string, int> outcomes;  // by the field refused, "" for none: each is met
  for (int trial = 0; trial < 3000; ++trial) {
    const Lottery lottery = some_lottery(random);
    const GuaranteeAsked asked{some_pool_text(random, lottery), some_count(random, -1, lottery.length + 1),
                               some_count(random, -1, lottery.length + 2)};
    const Validated<PoolGuarantee> read = guarantee_check_of(lottery, asked);
    ++outcomes[read.accepted() ? "" : read.refusal().field];
    if (!asked.right) {
      ASSERT_EQ(read.refusal(), (Refusal{"--guarantee", "a guarantee needs T, the numbers right"}));
      continue;
    }
    if (!pool_reads(lottery, asked.pool)) {
      ASSERT_EQ(read.refusal().field, "--pool");
      continue;
    }
    const RowMask pool = asked.pool ? parse_pool(*asked.pool, lottery).pool : all_numbers(lottery);
    const Guarantee guarantee{*asked.right, asked.if_drawn.value_or(*asked.right)};
    ASSERT_EQ(read.accepted(), !guarantee_problem(pool, lottery, guarantee));
    if (!read.accepted()) {
      ASSERT_EQ(read.refusal().field, "--guarantee");
      continue;
    }
    ASSERT_EQ(read.request().pool, pool);
    ASSERT_EQ(read.request().guarantee.right, guarantee.right);
    ASSERT_EQ(read.request().guarantee.if_drawn, guarantee.if_drawn);
    ASSERT_TRUE(1 <= guarantee.right && guarantee.right <= guarantee.if_drawn &&
                guarantee.if_drawn <= std::min(lottery.length, std::popcount(pool)));
  }
  EXPECT_EQ(outcomes.size(), 3U);
}

TEST(Request, TheOddsAreOfALotteryInReachAndTheirConditionOfMFrom1ToARowsNumbers) {
  std::mt19937_64 random(3);
  std::map<std::string, int> outcomes;  // by the field refused, "" for none: each is met
  for (int trial = 0; trial < 3000; ++trial) {
    const Lottery lottery = some_lottery(random);
    const std::optional<std::string> pool = some_pool_text(random, lottery);
    const std::optional<int> if_drawn =
        between(random, 0, 2) == 0 ? std::nullopt : std::optional(between(random, -1, lottery.length + 1));
    const Validated<OddsOptions> read = odds_request_of(lottery, pool, if_drawn);
    ++outcomes[read.accepted() ? "" : read.refusal().field];
    if (pool && !if_drawn) {
      ASSERT_EQ(read.refusal(), (Refusal{"--pool", "the pool goes with T right, or with M drawn for the odds"}));
    } else if (!draws_within_reach(lottery)) {
      ASSERT_EQ(read.refusal().field, "--odds");
    } else if (!pool_reads(lottery, pool)) {
      ASSERT_EQ(read.refusal().field, "--pool");
    } else if (if_drawn && (*if_drawn < 1 || *if_drawn > lottery.length)) {
      ASSERT_EQ(read.refusal(), (Refusal{"--if", "M is from 1 to " + std::to_string(lottery.length)}));
    } else {
      ASSERT_TRUE(read.accepted());
      ASSERT_EQ(read.request().condition.has_value(), if_drawn.has_value());
      if (if_drawn) {
        ASSERT_EQ(read.request().condition->if_drawn, *if_drawn);
        ASSERT_EQ(read.request().condition->pool, pool ? parse_pool(*pool, lottery).pool : all_numbers(lottery));
      }
    }
  }
  EXPECT_EQ(outcomes.size(), 4U);
}

TEST(Request, RowsToPlayAreOfTheLotterysRangeWithTheDefaultStepsForThatMany) {
  std::mt19937_64 random(4);
  std::map<std::string, int> outcomes;  // by the field refused, "" for none: each is met
  for (int trial = 0; trial < 3000; ++trial) {
    const Lottery lottery = some_lottery(random);
    const RowsAsked asked{static_cast<std::size_t>(between(random, 0, 300)), some_seed_text(random), some_steps(random),
                          some_seconds(random)};
    const Validated<RowSearch> read = row_search_of(lottery, asked);
    ++outcomes[read.accepted() ? "" : read.refusal().field];
    if (!seed_reads(asked.seed)) {
      ASSERT_EQ(read.refusal().field, "--seed");
    } else if (rows_problem(lottery, asked.rows)) {
      ASSERT_EQ(read.refusal().field, "--rows");
    } else if (!steps_in_range(asked.steps)) {
      ASSERT_EQ(read.refusal().field, "--steps");
    } else if (!seconds_in_range(asked.seconds)) {
      ASSERT_EQ(read.refusal().field, "--time");
    } else {
      ASSERT_TRUE(read.accepted());
      const RowSearch& request = read.request();
      ASSERT_EQ(request.rows, asked.rows);
      ASSERT_EQ(request.seed, asked.seed ? seed_of(*asked.seed).request() : 0);
      ASSERT_EQ(request.steps, asked.steps.value_or(default_steps(asked.rows)));
      ASSERT_EQ(request.seconds, asked.seconds);
    }
  }
  EXPECT_EQ(outcomes.size(), 5U);
  EXPECT_EQ(row_search_of({8, 7}, {9, std::nullopt, std::nullopt, std::nullopt}).refusal(),
            (Refusal{"--rows", "M is from 1 to 8 in this lottery"}));
}

TEST(Request, AWheelAcceptedIsOneTheSearchTakesOrNamesTheFieldWrong) {
  std::mt19937_64 random(5);
  std::map<std::string, int> outcomes;  // by the field refused, "" for none: each is met
  for (int trial = 0; trial < 1500; ++trial) {
    const Lottery lottery = some_lottery(random);
    WheelAsked asked;
    asked.guarantee = {some_pool_text(random, lottery), some_count(random, 0, 4), some_count(random, 0, 6)};
    if (between(random, 0, 2) == 0) asked.rows = static_cast<std::size_t>(between(random, 0, 40));
    asked.seed = some_seed_text(random);
    asked.steps = some_steps(random);
    asked.seconds = some_seconds(random);
    const Validated<WheelRequest> read = wheel_request_of(lottery, asked);
    ++outcomes[read.accepted() ? "" : read.refusal().field];
    if (!seed_reads(asked.seed)) {
      ASSERT_EQ(read.refusal().field, "--seed");
    } else if (!asked.guarantee.right) {
      ASSERT_EQ(read.refusal(), (Refusal{"--guarantee", "a guarantee needs T, the numbers right"}));
    } else if (!pool_reads(lottery, asked.guarantee.pool)) {
      ASSERT_EQ(read.refusal().field, "--pool");
    } else if (wheel_request_error({lottery,
                                    pool_of(lottery, asked.guarantee.pool).request(),
                                    {*asked.guarantee.right, asked.guarantee.if_drawn.value_or(*asked.guarantee.right)},
                                    asked.rows,
                                    0})) {
      ASSERT_EQ(read.refusal().field, "--wheel");
    } else if (!steps_in_range(asked.steps)) {
      ASSERT_EQ(read.refusal().field, "--steps");
    } else if (!seconds_in_range(asked.seconds)) {
      ASSERT_EQ(read.refusal().field, "--time");
    } else {
      const WheelRequest& request = read.request();
      ASSERT_FALSE(wheel_request_error(request));
      ASSERT_EQ(request.guarantee.right, *asked.guarantee.right);
      ASSERT_EQ(request.guarantee.if_drawn, asked.guarantee.if_drawn.value_or(*asked.guarantee.right));
      ASSERT_EQ(request.rows, asked.rows);
      ASSERT_EQ(request.seed, asked.seed ? seed_of(*asked.seed).request() : 0);
    }
  }
  EXPECT_EQ(outcomes.size(), 7U);
}

// A wheel asked for with the pool, T and M, and the seed, member by member:
// GCC 12 for 32-bit Windows at -O3 takes the optional pool of a braced
// WheelAsked for one read before it is set.
WheelAsked wheel_asked(const char* pool, int right, int if_drawn, const char* seed) {
  WheelAsked asked;
  asked.guarantee.pool = pool;
  asked.guarantee.right = right;
  asked.guarantee.if_drawn = if_drawn;
  asked.seed = seed;
  return asked;
}

TEST(Request, RefusesInTheWordsPlayersRead) {
  const Lottery lottery = kProgramLottery;
  EXPECT_EQ(guarantee_check_of(lottery, {"3-22", 8, 5}).refusal(),
            (Refusal{"--guarantee", "the guarantee's T is from 1 to 7, the numbers in a row"}));
  EXPECT_EQ(guarantee_check_of(lottery, {"1-6", 3, std::nullopt}).refusal(),
            (Refusal{"--pool", "the pool has 6 numbers, fewer than a row's 7"}));
  EXPECT_EQ(wheel_request_of(lottery, wheel_asked("1-12", 5, 4, "1")).refusal(),
            (Refusal{"--wheel", "a guarantee of 5 if 4 needs 1 <= right <= drawn <= 7"}));
  EXPECT_EQ(wheel_request_of(lottery, wheel_asked("1-x", 3, 4, "12x")).refusal().field, "--seed");
  EXPECT_EQ(row_search_of(lottery, {5, std::nullopt, 0, std::nullopt}).refusal(),
            (Refusal{"--steps", "the steps are from 1 to 281474976710656"}));
  EXPECT_EQ(row_search_of(lottery, {5, std::nullopt, std::nullopt, 0.0}).refusal(),
            (Refusal{"--time", "the seconds are from 0.001 to 604800"}));
  WheelAsked wheel = wheel_asked("1-12", 3, 4, "1");
  wheel.steps = std::uint64_t{1} << 49;
  EXPECT_EQ(wheel_request_of(lottery, wheel).refusal(),
            (Refusal{"--steps", "the steps are from 1 to 281474976710656"}));
  wheel.steps = std::nullopt;
  wheel.seconds = 604801;
  EXPECT_EQ(wheel_request_of(lottery, wheel).refusal(), (Refusal{"--time", "the seconds are from 0.001 to 604800"}));
  EXPECT_EQ(run_lottery_of(lottery).request(), lottery);
  EXPECT_EQ(run_lottery_of({49, 6}).refusal(), (Refusal{"--numbers", "a run's rows are 7 of 40"}));
  EXPECT_EQ(run_lottery_of({40, 6}).refusal(), (Refusal{"--numbers", "a run's rows are 7 of 40"}));
  const Refusal lone_pool{"--pool", "the pool goes with T right, or with M drawn for the odds"};
  EXPECT_EQ(lone_pool_refusal({"1-12", std::nullopt, std::nullopt}), lone_pool);
  EXPECT_EQ(odds_request_of({64, 10}, "1-12", std::nullopt).refusal(), lone_pool);
  EXPECT_FALSE(lone_pool_refusal({std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_FALSE(lone_pool_refusal({"1-12", 3, std::nullopt}));
  EXPECT_FALSE(lone_pool_refusal({"1-12", std::nullopt, 4}));
  EXPECT_EQ(price_of("2.5x").refusal(), (Refusal{"--price", "\"2.5x\" is not an amount such as 2.50"}));
  EXPECT_EQ(price_of("2.50").request(), 250);
  EXPECT_EQ(odds_request_of(lottery, "1-12", 9).refusal(), (Refusal{"--if", "M is from 1 to 7"}));
  EXPECT_EQ(odds_request_of({64, 10}, std::nullopt, std::nullopt).refusal(),
            (Refusal{"--odds", "151473214816 draws of 10 from 64 are more than 4294967296 to count one by one"}));
}

}  // namespace
}  // namespace rivit
