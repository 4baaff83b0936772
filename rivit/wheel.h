// Wheels: the fewest rows from a player's pool of v numbers that keep a
// guarantee, "t right if m drawn": whenever at least m of the drawn numbers
// are in the pool, some row has at least t of them. Equivalently every
// m-set of the pool meets some row in t numbers or more ("t if t" is a
// covering of the t-sets). A search may also be asked for the best B rows:
// exactly B rows that leave the fewest m-sets of the pool uncovered.
//
// The search is resumable and reproducible: advance(steps) takes steps a
// slice at a time, and the same request and seed give the same rows after
// the same total of steps however it was sliced, on every build. It draws
// from the runtime's generator, keeps its counts in integers, and neither
// reads a clock nor starts a thread; the caller schedules it.
//
// How it searches. Where the pool has at most kMostSearchedSets m-sets, a
// local search over a fixed number of rows keeps the count of rows that
// cover each m-set: a step picks an uncovered m-set and changes one number
// of one row so that it covers it, the change that uncovers the least
// weight; the weight of the m-sets left uncovered grows whenever no change
// improves. When every m-set is covered, the row whose loss uncovers the
// fewest goes, and the search goes on with one row fewer. It starts from a
// greedy cover, or from a Steiner system of the Golay code where one is a
// wheel of the pool (golay.h). Where the pool is larger, or as well, the
// pool is split into parts such that any m drawn numbers put m_i or more
// into some part i (sum(m_i - 1) = m - 1, by pigeonhole): a wheel "t if
// m_i" on each part, each searched as above, makes a wheel of the whole.
// Small parts are searched at every size, each for a first turn, and the
// sizes of each split are then those whose searches have found the fewest
// rows between them (6 of 59 "2 if 6" as 14 + 14 + 14 + 9 + 8 numbers,
// 7 + 7 + 7 + 3 + 3 rows); the searches of those parts take the turns, and
// the sizes are chosen again after each turn. The search keeps the fewest
// rows of all these; every part's rows are checked by its own exact counts.

#ifndef ERILAISETRIVIT_RIVIT_WHEEL_H_
#define ERILAISETRIVIT_RIVIT_WHEEL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

// The most m-sets of a pool (C(v, m)) that the local search keeps counts
// for: 16 bytes each. C(64, 4), C(40, 5) and C(22, 6) are within it; C(49,
// 6) is searched only through parts, and a budget of rows only within it.
inline constexpr std::uint64_t kMostSearchedSets = 1'000'000;
inline constexpr std::size_t kMostWheelRows = std::size_t{1} << 16;

struct WheelRequest {
  Lottery lottery;
  RowMask pool = 0;  // the player's numbers, of the lottery's
  Guarantee guarantee;
  std::optional<std::size_t> rows;  // a budget: exactly this many rows, the fewest m-sets uncovered
  std::uint64_t seed = 0;
};

struct WheelResult {
  std::vector<RowMask> rows;      // of the lottery's numbers, each of lottery.length numbers, all in the pool
  std::uint64_t uncovered = 0;    // m-sets of the pool that no row meets in `right` numbers
  std::uint64_t sets = 0;         // C(v, m), all m-sets of the pool
  std::uint64_t lower_bound = 0;  // wheel_lower_bound of the pool
  bool proven = false;            // no wheel does better: fewest rows at the bound, or a budget with none uncovered
};

// No wheel of the guarantee on v numbers has fewer rows of k. For t == m,
// the Schönheim bound, ceil(v/k ceil((v-1)/(k-1) ... ceil((v-t+1)/(k-t+1)))).
// For t < m the largest of three:
// - the rows hold all but at most m - t numbers of the pool, or those
//   m - t + 1 with any t - 1 others would meet no row in t: ceil((v - m +
//   t) / k);
// - the t-sets inside rows, at most C(k, t) a row, form a hypergraph in
//   which every m-set holds an edge. Such a hypergraph on n points has at
//   least T(n) edges, T(m) = 1, T(n) >= ceil(n T(n - 1) / (n - t)), since
//   leaving out each point in turn leaves one on n - 1 points, and each edge
//   stays n - t times;
// - for t == 2, Turán's theorem: a graph with no m independent points has
//   at least the edges of m - 1 disjoint cliques as equal as can be.
// REQUIRES: 1 <= t <= m <= k <= v <= kMostNumbers.
std::uint64_t wheel_lower_bound(int v, int k, Guarantee g);

// What is wrong with the request, or nothing when a WheelSearch can take it:
// a lottery outside the limits, a pool that is not of its numbers or holds
// fewer than a row, a guarantee outside 1 <= right <= if_drawn <= length and
// if_drawn <= the pool, a budget outside 1 to kMostWheelRows or for a pool
// of more than kMostSearchedSets m-sets, a pool too large to search whole
// and with no parts that are not.
std::optional<std::string> wheel_request_error(const WheelRequest& request);

// The steps of about two seconds of search on one core of a 2.6 GHz AMD
// EPYC, roughly: a step costs time in proportion to the m-sets that one
// change of a number touches, in the geometric mean of the whole pool's
// search and those of its parts.
// REQUIRES: no wheel_request_error(request).
std::uint64_t default_wheel_steps(const WheelRequest& request);

class WheelSearch {
 public:
  // REQUIRES: no wheel_request_error(request).
  explicit WheelSearch(const WheelRequest& request);
  ~WheelSearch();
  WheelSearch(WheelSearch&&) noexcept;
  WheelSearch& operator=(WheelSearch&&) noexcept;

  // Takes at most `steps` more steps; fewer when done().
  void advance(std::uint64_t steps);
  // Nothing more to gain by advancing: best() is proven, or every search is
  // at the bound of its own part.
  bool done() const;
  const WheelResult& best() const { return best_; }
  std::uint64_t steps_taken() const { return steps_taken_; }

 private:
  struct State;
  void refresh_best();

  std::unique_ptr<State> state_;
  WheelResult best_;
  std::uint64_t steps_taken_ = 0;
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_WHEEL_H_
