#include "rivit/request.h"

#include <charconv>

#include "rivit/guarantee.h"
#include "rivit/pool.h"
#include "rivit/prizes.h"

namespace rivit {

namespace {

Refusal refused(std::string field, std::string message) { return {std::move(field), std::move(message)}; }

// The seed of `text`, or 0 for none: the front chooses one then.
Validated<std::uint64_t> seed_or_zero(const std::optional<std::string>& text) {
  return text ? seed_of(*text) : Validated<std::uint64_t>(std::uint64_t{0});
}

// The guarantee asked, M = T where M is not given; refused where T is not.
Validated<Guarantee> guarantee_of(const GuaranteeAsked& asked) {
  if (!asked.right) return refused("--guarantee", "a guarantee needs T, the numbers right");
  return Guarantee{*asked.right, asked.if_drawn.value_or(*asked.right)};
}

// The search's length as asked: refused where it is out of range.
std::optional<Refusal> search_length_refusal(std::optional<std::uint64_t> steps, std::optional<double> seconds) {
  if (steps && (*steps < 1 || *steps > kMostSteps)) {
    return refused("--steps", "the steps are from 1 to " + std::to_string(kMostSteps));
  }
  // The seconds' range as a player writes it: a thousandth of a second to a week.
  if (seconds && !(*seconds >= kFewestSeconds && *seconds <= kMostSeconds)) {
    return refused("--time",
                   "the seconds are from 0.001 to " + std::to_string(static_cast<std::uint64_t>(kMostSeconds)));
  }
  return std::nullopt;
}

}  // namespace

Validated<Lottery> lottery_of(int numbers, int length) {
  const Lottery lottery{.numbers = numbers, .length = length};
  if (std::optional<std::string> problem = lottery_problem(lottery)) return refused("--length", std::move(*problem));
  return lottery;
}

Validated<Lottery> run_lottery_of(Lottery lottery) {
  if (lottery == kProgramLottery) return lottery;
  return refused("--numbers", std::string("a run's rows are ")
                                  .append(std::to_string(kProgramLottery.length))
                                  .append(" of ")
                                  .append(std::to_string(kProgramLottery.numbers)));
}

Validated<std::uint64_t> seed_of(std::string_view text) {
  std::uint64_t seed = 0;
  const char* const end = text.data() + text.size();
  const auto [last, error] = std::from_chars(text.data(), end, seed);
  // from_chars takes no sign for an unsigned number: "-1" is refused here too.
  if (text.empty() || error != std::errc() || last != end) {
    return refused("--seed",
                   std::string("\"").append(text).append("\" is not an integer from 0 to 18446744073709551615"));
  }
  return seed;
}

Validated<Cents> price_of(std::string_view text) {
  if (const std::optional<Cents> price = parse_amount(text)) return *price;
  return refused("--price", std::string("\"").append(text).append("\" is not an amount such as 2.50"));
}

Validated<RowMask> pool_of(Lottery lottery, const std::optional<std::string>& text) {
  if (!text) return all_numbers(lottery);
  ParsedPool parsed = parse_pool(*text, lottery);
  if (!parsed.error.empty()) return refused("--pool", std::move(parsed.error));
  return parsed.pool;
}

Validated<PoolGuarantee> guarantee_check_of(Lottery lottery, const GuaranteeAsked& asked) {
  const Validated<Guarantee> guarantee = guarantee_of(asked);
  if (!guarantee.accepted()) return guarantee.refusal();
  const Validated<RowMask> pool = pool_of(lottery, asked.pool);
  if (!pool.accepted()) return pool.refusal();
  const PoolGuarantee request{pool.request(), guarantee.request()};
  if (std::optional<std::string> problem = guarantee_problem(request.pool, lottery, request.guarantee)) {
    return refused("--guarantee", std::move(*problem));
  }
  return request;
}

std::optional<Refusal> lone_pool_refusal(const GuaranteeAsked& asked) {
  if (!asked.pool || asked.right || asked.if_drawn) return std::nullopt;
  return refused("--pool", "the pool goes with T right, or with M drawn for the odds");
}

Validated<OddsOptions> odds_request_of(Lottery lottery, const std::optional<std::string>& pool,
                                       std::optional<int> if_drawn) {
  if (std::optional<Refusal> refusal = lone_pool_refusal({pool, std::nullopt, if_drawn})) return std::move(*refusal);
  if (std::optional<std::string> problem = odds_problem(lottery)) return refused("--odds", std::move(*problem));
  const Validated<RowMask> read_pool = pool_of(lottery, pool);
  if (!read_pool.accepted()) return read_pool.refusal();
  OddsOptions options;
  if (!if_drawn) return options;
  if (*if_drawn < 1 || *if_drawn > lottery.length) {
    return refused("--if", "M is from 1 to " + std::to_string(lottery.length));
  }
  options.condition = DrawCondition{read_pool.request(), *if_drawn};
  return options;
}

Validated<RowSearch> row_search_of(Lottery lottery, const RowsAsked& asked) {
  const Validated<std::uint64_t> seed = seed_or_zero(asked.seed);
  if (!seed.accepted()) return seed.refusal();
  if (std::optional<std::string> problem = rows_problem(lottery, asked.rows)) {
    return refused("--rows", std::move(*problem));
  }
  if (std::optional<Refusal> refusal = search_length_refusal(asked.steps, asked.seconds)) return std::move(*refusal);
  return RowSearch{lottery, asked.rows, seed.request(), asked.steps.value_or(default_steps(asked.rows)), asked.seconds};
}

Validated<WheelRequest> wheel_request_of(Lottery lottery, const WheelAsked& asked) {
  const Validated<std::uint64_t> seed = seed_or_zero(asked.seed);
  if (!seed.accepted()) return seed.refusal();
  const Validated<Guarantee> guarantee = guarantee_of(asked.guarantee);
  if (!guarantee.accepted()) return guarantee.refusal();
  const Validated<RowMask> pool = pool_of(lottery, asked.guarantee.pool);
  if (!pool.accepted()) return pool.refusal();
  WheelRequest request{lottery, pool.request(), guarantee.request(), asked.rows, seed.request()};
  if (std::optional<std::string> problem = wheel_request_error(request)) return refused("--wheel", std::move(*problem));
  if (std::optional<Refusal> refusal = search_length_refusal(asked.steps, asked.seconds)) return std::move(*refusal);
  return request;
}

}  // namespace rivit
