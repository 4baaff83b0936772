// The exact odds of a set of rows over every possible draw: for each draw of
// the lottery's length from its numbers, the most numbers that any one row
// shares with it, tallied over all C(numbers, length) draws. Every draw is
// counted, none sampled, so the figures are exact integers and the same on
// every run, every build and however the work is shared out.
//
// The rows may repeat and may be none at all: with no rows every draw's best
// is 0. Lotteries with more than kMostDraws draws are left to the caller to
// refuse (draws_within_reach): the count would stay exact, but take too long.

#ifndef ERILAISETRIVIT_RIVIT_ODDS_H_
#define ERILAISETRIVIT_RIVIT_ODDS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

inline constexpr std::uint64_t kMostDraws = std::uint64_t{1} << 32;

// True when the lottery has at most kMostDraws draws.
constexpr bool draws_within_reach(Lottery lottery) { return choose(lottery.numbers, lottery.length) <= kMostDraws; }

// Why the odds of `lottery` are not counted, as the fronts say it; nothing
// when they are. REQUIRES: within_limits(lottery).
std::optional<std::string> odds_problem(Lottery lottery);

// The draws that put at least `if_drawn` of their numbers in `pool`: a
// player's numbers, and the "if" of a wheel's guarantee.
struct DrawCondition {
  RowMask pool = 0;
  int if_drawn = 0;

  friend bool operator==(const DrawCondition&, const DrawCondition&) = default;
};

// What a count finds besides the odds over every draw.
struct OddsOptions {
  // Also the odds over the draws that meet it.
  std::optional<DrawCondition> condition;
  // Also the first draw, in increasing order of its numbers, whose best row
  // shares fewer than `below` numbers with it; 0: none is looked for.
  int below = 0;
};

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
  // With a condition: the draws that meet it, and best_if[k] of them whose
  // best row shares exactly k numbers.
  std::optional<DrawCondition> condition;
  std::uint64_t draws_if = 0;
  std::vector<std::uint64_t> best_if;
};

// Draws counted by their best row: best[k] of them share exactly k numbers
// with it.
struct FirstDraw {
  std::size_t piece;  // the pieces come in increasing order of their draws
  RowMask draw;
};

struct Tally {
  std::vector<std::uint64_t> best;
  std::vector<std::uint64_t> best_if;  // the draws that meet the condition; empty without one
  std::optional<FirstDraw> first_below;

  void add(const Tally& other);
};

class OddsWalker;

// The count over every draw, split into pieces, each the draws that begin
// with given first numbers: the pieces may be counted in any order, by any
// number of counters, and the counters' tallies summed give the same odds.
class OddsCount {
 public:
  // REQUIRES: within_limits(lottery); each row a set of numbers from 1 to
  // lottery.numbers (of any size; a row of the lottery holds its length).
  // The rows are copied.
  OddsCount(std::span<const RowMask> rows, Lottery lottery, const OddsOptions& options = {});
  ~OddsCount();
  OddsCount(const OddsCount&) = delete;
  OddsCount& operator=(const OddsCount&) = delete;

  std::size_t pieces() const;
  // The draws that piece `i` counts. REQUIRES: i < pieces().
  std::uint64_t draws_of(std::size_t i) const;
  // The odds of the rows from the tally of every piece.
  Odds odds(const Tally& every_piece) const;

  // Counts pieces into a tally of its own. REQUIRES: the count outlives it.
  class Counter {
   public:
    explicit Counter(const OddsCount& count);
    ~Counter();
    Counter(Counter&&) noexcept;
    Counter& operator=(Counter&&) noexcept;

    // REQUIRES: i < pieces(), and piece i not counted yet by any counter.
    void count(std::size_t i);
    const Tally& tally() const;

   private:
    const OddsCount* count_;
    std::unique_ptr<OddsWalker> walker_;
  };

 private:
  struct Rows;
  struct Pieces;
  Lottery lottery_;
  std::vector<RowMask> row_masks_;
  std::unique_ptr<Rows> rows_;
  std::unique_ptr<Pieces> pieces_;
};

// The odds of `rows`, every piece counted on the calling thread.
// REQUIRES: as OddsCount's.
Odds odds_of(std::span<const RowMask> rows, Lottery lottery);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_ODDS_H_
