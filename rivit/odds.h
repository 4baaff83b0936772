// The exact odds of a set of rows over every possible draw: for each draw of
// the lottery's length from its numbers, the most numbers that any one row
// shares with it, tallied over all C(numbers, length) draws. Every draw is
// counted, none sampled, so the figures are exact integers and the same on
// every run, every build and however the work is shared between threads.
//
// The rows may repeat and may be none at all: with no rows every draw's best
// is 0. Lotteries with more than kMostDraws draws are left to the caller to
// refuse (draws_within_reach): the count would stay exact, but take too long.

#ifndef ERILAISETRIVIT_RIVIT_ODDS_H_
#define ERILAISETRIVIT_RIVIT_ODDS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

inline constexpr std::uint64_t kMostDraws = std::uint64_t{1} << 32;

// True when the lottery has at most kMostDraws draws.
constexpr bool draws_within_reach(Lottery lottery) { return choose(lottery.numbers, lottery.length) <= kMostDraws; }

struct Odds {
  Lottery lottery;
  std::size_t rows = 0;
  std::uint64_t draws = 0;  // C(numbers, length)
  // best[k]: the draws that the best row for them shares exactly k numbers
  // with; length + 1 counts, summing to `draws`.
  std::vector<std::uint64_t> best;
  // The most numbers that every draw shares with some row: the least k with
  // best[k] > 0.
  int guaranteed = 0;
  // balance[n - 1]: the rows that hold the number n.
  std::vector<std::size_t> balance;
};

// Told the fraction of the draws counted so far, from 0 to 1, at most a few
// times a second and always on the thread that called odds_of.
using Progress = std::function<void(double fraction)>;

// The odds of `rows` over every draw of `lottery`, counted on two threads.
// REQUIRES: within_limits(lottery); each row holds lottery.length numbers,
// each from 1 to lottery.numbers.
Odds odds_of(std::span<const RowMask> rows, Lottery lottery, const Progress* progress = nullptr);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_ODDS_H_
