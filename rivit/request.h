// A player's requests, read once for both fronts. The command and the page
// hand over what the player gave (text, or a number or nothing, as each
// front has it) and get back either the request typed and defaulted, ready
// for the library, or a refusal: the field that is wrong, named as the
// command's option ("--pool"), and what is wrong with it in the library's
// words. The defaults (M = T, the pool of every number, the default steps),
// the ranges and the reading of a seed are here and nowhere else.
//
// Guarantees: an accepted request meets the REQUIRES of the library calls
// that take it (no lottery_problem, rows_problem, guarantee_problem or
// wheel_request_error); a refusal names the field whose value is wrong, the
// first in the order the fields are listed at each function.
#ifndef ERILAISETRIVIT_RIVIT_REQUEST_H_
#define ERILAISETRIVIT_RIVIT_REQUEST_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "rivit/game.h"
#include "rivit/lottery.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/wheel.h"

namespace rivit {

struct Refusal {
  std::string field;    // the command's option that sets the value refused: "--seed", "--pool", ...
  std::string message;  // the library's words, without the field
  friend bool operator==(const Refusal&, const Refusal&) = default;
};

// A request accepted, or the refusal of it.
template <typename Request>
class Validated {
 public:
  Validated(Request request) : value_(std::move(request)) {}  // NOLINT(google-explicit-constructor): returned as is
  Validated(Refusal refusal) : value_(std::move(refusal)) {}  // NOLINT(google-explicit-constructor): returned as is

  bool accepted() const { return std::holds_alternative<Request>(value_); }
  // REQUIRES: accepted().
  const Request& request() const { return std::get<Request>(value_); }
  // REQUIRES: !accepted().
  const Refusal& refusal() const { return std::get<Refusal>(value_); }

 private:
  std::variant<Request, Refusal> value_;
};

// The lottery of rows of `length` numbers from 1 to `numbers`. Field:
// --length (the command's --numbers and --length go together).
Validated<Lottery> lottery_of(int numbers, int length);

// The lottery of a run's rows: the program's, kProgramLottery, whose rows
// the command prints without --rows. Field: --numbers.
Validated<Lottery> run_lottery_of(Lottery lottery);

// A seed as written: decimal digits alone, from 0 to 2^64 - 1.
Validated<std::uint64_t> seed_of(std::string_view text);

// The price of a game's line, as written ("2.50"). Field: --price.
Validated<Cents> price_of(std::string_view text);

// The player's numbers: the list as written (pool.h), every number of the
// lottery when there is none. REQUIRES: within_limits(lottery).
Validated<RowMask> pool_of(Lottery lottery, const std::optional<std::string>& text);

// A guarantee, T right if M drawn from the pool, as written: M = T when M
// is not given; T must be.
struct GuaranteeAsked {
  std::optional<std::string> pool;
  std::optional<int> right;
  std::optional<int> if_drawn;
};

struct PoolGuarantee {
  RowMask pool = 0;
  Guarantee guarantee;
};

// The guarantee to check rows against. Fields in order: --guarantee (T not
// given), --pool, --guarantee.
// REQUIRES: within_limits(lottery).
Validated<PoolGuarantee> guarantee_check_of(Lottery lottery, const GuaranteeAsked& asked);

// The player's numbers go with T, for a guarantee, or with M, for the odds
// over the draws that put M of them in the pool: given with neither, they
// are refused. Field: --pool.
std::optional<Refusal> lone_pool_refusal(const GuaranteeAsked& asked);

// The odds of rows, over every draw and, with M, over the draws that put at
// least M numbers in the pool. Fields in order: --pool (given without M),
// --odds, --pool, --if.
// REQUIRES: within_limits(lottery).
Validated<OddsOptions> odds_request_of(Lottery lottery, const std::optional<std::string>& pool,
                                       std::optional<int> if_drawn);

// How long a search runs: steps from 1 to kMostSteps, or seconds from
// kFewestSeconds to kMostSeconds; nothing given, the default steps.
inline constexpr std::uint64_t kMostSteps = std::uint64_t{1} << 48;
inline constexpr double kFewestSeconds = 0.001;
inline constexpr double kMostSeconds = 7 * 24 * 3600.0;

// Rows to play: `rows` rows, searched for the steps given (the default for
// that many rows) or for `seconds`. Without a seed, the request's seed is 0
// and the front chooses one. Fields in order: --seed, --rows, --steps,
// --time.
// REQUIRES: within_limits(lottery).
struct RowsAsked {
  std::size_t rows = 0;
  std::optional<std::string> seed;
  std::optional<std::uint64_t> steps;
  std::optional<double> seconds;
};
Validated<RowSearch> row_search_of(Lottery lottery, const RowsAsked& asked);

// A wheel: the guarantee to keep, and with `rows` a budget of rows. Without
// a seed, the request's seed is 0 and the front chooses one. The steps and
// seconds are checked as a row search's; the front runs the search for
// them as it gave them. Fields in order: --seed, --guarantee (T not given),
// --pool, --wheel, --steps, --time.
// REQUIRES: within_limits(lottery).
struct WheelAsked {
  GuaranteeAsked guarantee;
  std::optional<std::size_t> rows;
  std::optional<std::string> seed;
  std::optional<std::uint64_t> steps;
  std::optional<double> seconds;
};
Validated<WheelRequest> wheel_request_of(Lottery lottery, const WheelAsked& asked);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REQUEST_H_
