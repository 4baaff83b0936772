// The search behind WheelSearch (wheel.h), a model on the local search of
// local_search.h, on one pool whose numbers are the bit indices 0 to
// numbers - 1: a fixed number of rows at a time,
// with the count of rows that cover each m-set, its weight, and the list of
// the uncovered ones kept up to date as one number of one row changes.
//
// An m-set is known by its colex rank. A row R covers an m-set S when
// |R & S| >= t; changing x of R into y uncovers for R exactly the S that
// hold x but not y and t - 1 other numbers of R and the rest outside R, and
// covers the same with x and y exchanged, so one change touches
// 2 C(k - 1, t - 1) C(numbers - k - 1, m - t) m-sets.
//
// Inside the library only (rivit_internal): its fronts never include it.

#ifndef ERILAISETRIVIT_RIVIT_INTERNAL_COVER_SEARCH_H_
#define ERILAISETRIVIT_RIVIT_INTERNAL_COVER_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rivit/internal/local_search.h"
#include "rivit/lottery.h"
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

// The model: rows that cover each m-set. A step draws an uncovered m-set
// and makes the change of one number of one row that covers it and uncovers
// the least weight; the weights of the m-sets left uncovered rise while no
// change lowers the weight uncovered (the breakout).
class CoverModel {
 public:
  using Move = Swap;  // its change in the weight left uncovered
  using Acceptance = TakeEvery;
  static constexpr Breakout kBreakout = Breakout::kWhenNotDownhill;

  // Starts from setup.start, completed; draws from `random` the rows that
  // fill a budget. REQUIRES: as CoverSearch's.
  CoverModel(CoverSetup setup, rt::Random& random);

  std::optional<Move> best_move(Step& step);
  static std::int64_t change(const Move& move) { return move.change; }
  static std::int64_t worsening(const Move& move) { return move.change; }
  void apply(const Move& move, Step& step);
  void break_out(Step& step);
  void end_step(Step& step);
  bool finished() const { return done_; }

  std::size_t rows() const { return rows_.size(); }
  int numbers() const { return setup_.numbers; }
  const std::vector<RowMask>& best_rows() const { return best_rows_; }
  std::uint64_t best_uncovered() const { return best_uncovered_; }

 private:
  void cover(std::uint32_t set);
  void uncover(std::uint32_t set);
  void add_row(RowMask row);
  std::uint64_t greedy_gain(RowMask row, int number) const;
  void fill_greedily(std::size_t until);
  void drop_needless_rows();
  std::int64_t weight_change(const Move& move) const;
  std::optional<Move> best_change(RowMask set, Step& step);
  Move forced_move(RowMask set, rt::Random& random) const;
  std::uint64_t loss(RowMask row) const;
  template <typename Dropped>
  void record(Dropped dropped);

  CoverSetup setup_;
  RowMask pool_;
  std::vector<RowMask> rows_;
  // Of each m-set, side by side since a step reads both.
  struct SetCount {
    std::uint32_t covers = 0;  // the rows that cover it
    std::uint32_t weight = 1;  // raised while it stays uncovered
  };

  std::vector<SetCount> sets_;
  IndexedSet<std::uint32_t> uncovered_;  // the m-sets that no row covers
  std::vector<RowMask> helds_;           // best_change's t - 1 numbers of a row, kept to spare allocations
  std::vector<RowMask> rests_;           // and its m - t numbers outside it
  BestMove<std::int64_t, Move, Ties::kDrawFromSecondTie> best_;
  std::vector<RowMask> best_rows_;
  std::uint64_t best_uncovered_ = UINT64_MAX;
  bool done_ = false;
};

class CoverSearch {
 public:
  // REQUIRES: 1 <= t <= m <= k <= numbers <= kMostNumbers, choose(numbers,
  // m) <= kMostSearchedSets; a budget of 1 or more; start rows of k numbers
  // below `numbers`.
  explicit CoverSearch(CoverSetup setup);

  void step() { search_.advance(1, random_); }
  // Budget: nothing left uncovered. Fewest: a cover at the lower bound.
  bool done() const { return search_.done(); }
  // The fewest rows that covered everything (fewest); the rows that left the
  // fewest uncovered (budget).
  const std::vector<RowMask>& best_rows() const { return search_.model().best_rows(); }
  std::uint64_t best_uncovered() const { return search_.model().best_uncovered(); }

 private:
  static LocalSearch<CoverModel> started(CoverSetup setup, rt::Random& random);

  rt::Random random_;
  LocalSearch<CoverModel> search_;
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_INTERNAL_COVER_SEARCH_H_
