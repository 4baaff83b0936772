// The check of a wheel's guarantee on any set of rows: whether every m-set
// of the player's pool meets some row in at least t numbers, counted over
// every m-set, never sampled. It is an odds count (odds.h) over the pool
// alone: the pool's v numbers renumbered 1 to v make a lottery of m from v,
// each row cut to the pool is a row of it, and the m-sets whose best row
// has fewer than t right are those the guarantee fails for. So it counts as
// fast as the odds do, in the same pieces, and a front shares them out as
// it does the odds'.

#ifndef ERILAISETRIVIT_RIVIT_GUARANTEE_H_
#define ERILAISETRIVIT_RIVIT_GUARANTEE_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/game.h"
#include "rivit/lottery.h"
#include "rivit/odds.h"
#include "rivit/wheel.h"

namespace rivit {

struct GuaranteeCheck {
  Guarantee guarantee;
  int pool_numbers = 0;            // v
  std::uint64_t sets = 0;          // C(v, m)
  std::uint64_t failing = 0;       // the m-sets that no row meets in `right` numbers
  // The first of them, in increasing order of its numbers; a number set, so
  // that a pool renumbered from a game past 64 numbers names it again.
  std::optional<NumberSet> example;

  bool holds() const { return failing == 0; }
};

// What keeps the guarantee from being checked on `pool`, as the fronts say
// it: a guarantee outside 1 <= right <= if_drawn <= lottery.length and
// if_drawn <= the pool, or more m-sets than kMostDraws. Nothing when it can.
// REQUIRES: pool is a set of the lottery's numbers; within_limits(lottery).
std::optional<std::string> guarantee_problem(RowMask pool, Lottery lottery, Guarantee guarantee);

// The count, in the odds' pieces; m = 1 or m = v need none.
class GuaranteeCount {
 public:
  // REQUIRES: no guarantee_problem.
  GuaranteeCount(std::span<const RowMask> rows, RowMask pool, Guarantee guarantee);

  // The count to run, every piece of it; nothing when there is none to run.
  const std::optional<OddsCount>& pieces() const { return count_; }
  // The check, from the tally of every piece (ignored without pieces).
  GuaranteeCheck check(const Tally& every_piece) const;

 private:
  std::vector<int> pool_numbers_;  // the number of the lottery that each pool number stands for
  std::vector<RowMask> cut_rows_;  // the rows cut to the pool, renumbered
  Guarantee guarantee_;
  std::optional<OddsCount> count_;
};

// The check counted on the calling thread. REQUIRES: no guarantee_problem.
GuaranteeCheck check_guarantee(std::span<const RowMask> rows, RowMask pool, Guarantee guarantee);

// "guarantee: 3 if 4 on 12 numbers: holds", or "...: fails for 5 of 495 sets
// of 4, e.g. 1 4 7 9".
std::string guarantee_text(const GuaranteeCheck& check);

// What a wheel search found, in the line the command writes beside its
// rows: "rows: 15, guarantee 3 if 4 on 12 numbers holds, lower bound 9"; or
// for rows that leave sets uncovered "rows: 10, guarantee 3 if 4 on 12
// numbers: 12 of 495 sets of 4 left uncovered, 97.5758 % covered, lower
// bound 9"; and " (no fewer rows can do it)" where the rows are the bound;
// then what the search took, "; 2000 steps, 0.08 s".
std::string wheel_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers, std::uint64_t steps,
                          double seconds);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GUARANTEE_H_
