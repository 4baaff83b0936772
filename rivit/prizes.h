// Money and prizes: amounts as players write them ("2.50"), a tier's prize
// set by name ("6+1=2500"), and the expected return of a set of lines, exact
// to the cent.
//
// The expected return is the sum over lines of what each line wins on
// average: a line wins its own best tier, whatever the other lines win, so
// it is the lines times the expected prize of one line, Σ count × prize /
// outcomes over the tiers of one line's odds. It is worked out in integers,
// so that a cent is never lost to rounding on the way.

#ifndef ERILAISETRIVIT_RIVIT_PRIZES_H_
#define ERILAISETRIVIT_RIVIT_PRIZES_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/game.h"
#include "rivit/tier_odds.h"

namespace rivit {

// The most an amount may be: a billion, in cents.
inline constexpr Cents kMostAmount = Cents{100000000000};

// "2", "2.5", "2.50", "2,50", "1000000" as cents; nothing for a negative amount,
// more than two decimals, anything that is no amount, or more than
// kMostAmount.
std::optional<Cents> parse_amount(std::string_view text);
// "2.50", "1000000.00".
std::string amount_text(Cents amount);

// Sets one tier's prize from "TIER=AMOUNT", the tier by its name in the
// game. Gives what is wrong ("the game has no tier \"8\": its tiers are 7,
// 6+1, 6, 5, 4, 3+1"), or nothing once it is set.
std::optional<std::string> set_prize(Game& game, std::string_view setting);

struct ExpectedReturn {
  std::uint64_t lines = 0;
  Cents per_draw = 0;                   // the expected prize of the lines, to the nearest cent
  std::size_t priced = 0;               // tiers with a prize: none, and nothing is known
  std::vector<std::string> unpriced;    // tiers with no prize, counted as winning nothing
  std::optional<Cents> cost;            // the lines at the game's price, where it has one
  // The return per unit spent, per_draw / cost, to 1/10000 (rounded); with a cost.
  std::optional<double> per_unit;
};

// REQUIRES: one_line is line_odds(game).
ExpectedReturn expected_return(const Game& game, const TierOdds& one_line, std::uint64_t lines);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_PRIZES_H_
