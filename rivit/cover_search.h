// The local search behind WheelSearch (wheel.h), on one pool whose numbers
// are the bit indices 0 to numbers - 1: a fixed number of rows at a time,
// with the count of rows that cover each m-set, its weight, and the list of
// the uncovered ones kept up to date as one number of one row changes.
//
// An m-set is known by its colex rank. A row R covers an m-set S when
// |R & S| >= t; changing x of R into y uncovers for R exactly the S that
// hold x but not y and t - 1 other numbers of R and the rest outside R, and
// covers the same with x and y exchanged, so one change touches
// 2 C(k - 1, t - 1) C(numbers - k - 1, m - t) m-sets.

#ifndef ERILAISETRIVIT_RIVIT_COVER_SEARCH_H_
#define ERILAISETRIVIT_RIVIT_COVER_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rivit/lottery.h"
#include "rivit/wheel.h"
#include "runtime/random.h"

namespace rivit {

struct CoverSetup {
  int numbers = 0;  // v, the pool
  int length = 0;   // k
  Guarantee guarantee;
  std::optional<std::size_t> budget;  // exactly this many rows; else the fewest that cover
  std::uint64_t lower_bound = 1;      // the search of the fewest stops here
  std::uint64_t seed = 0;
  std::vector<RowMask> start;  // rows to start from, completed greedily to a cover (or to the budget)
};

class CoverSearch {
 public:
  // REQUIRES: 1 <= t <= m <= k <= numbers <= kMostNumbers, choose(numbers,
  // m) <= kMostSearchedSets; a budget of 1 or more; start rows of k numbers
  // below `numbers`.
  explicit CoverSearch(CoverSetup setup);

  void step();
  // Budget: nothing left uncovered. Fewest: a cover at the lower bound.
  bool done() const { return done_; }
  // The fewest rows that covered everything (fewest); the rows that left the
  // fewest uncovered (budget).
  const std::vector<RowMask>& best_rows() const { return best_rows_; }
  std::uint64_t best_uncovered() const { return best_uncovered_; }

 private:
  struct Move {
    std::size_t row = 0;
    int out = 0;  // the bit index that leaves the row
    int in = 0;   // the one that takes its place
  };

  struct Choice {
    Move move;
    std::int64_t change = 0;  // in the weight left uncovered
  };

  void cover(std::uint32_t set);
  void uncover(std::uint32_t set);
  void add_row(RowMask row);
  void remove_row(std::size_t index);
  std::uint64_t greedy_gain(RowMask row, int number) const;
  void fill_greedily(std::size_t until);
  void drop_needless_rows();
  std::int64_t weight_change(const Move& move) const;
  void apply(const Move& move);
  std::optional<Choice> best_move(RowMask set);
  Choice forced_move(RowMask set);
  std::uint64_t loss(RowMask row) const;
  void raise_weights();
  void record();

  CoverSetup setup_;
  RowMask pool_;
  rt::Random random_;
  std::vector<RowMask> rows_;
  // Of each m-set, side by side since a step reads both.
  struct SetCount {
    std::uint32_t covers = 0;  // the rows that cover it
    std::uint32_t weight = 1;  // raised while it stays uncovered
  };

  std::vector<SetCount> sets_;
  std::vector<std::uint32_t> uncovered_;   // the m-sets that no row covers, in no order
  std::vector<std::uint32_t> place_;       // of each uncovered m-set in `uncovered_`
  std::vector<std::uint64_t> tabu_until_;  // row * numbers + n: the step before which n may not go back into row
  std::vector<RowMask> helds_;  // best_move's t - 1 numbers of a row, kept to spare allocations
  std::vector<RowMask> rests_;  // and its m - t numbers outside it
  std::uint64_t steps_ = 0;
  std::vector<RowMask> best_rows_;
  std::uint64_t best_uncovered_ = UINT64_MAX;
  bool done_ = false;
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_COVER_SEARCH_H_
