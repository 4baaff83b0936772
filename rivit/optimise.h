// Rows to play: M rows of a lottery that share as few numbers as possible,
// found by a local search rather than drawn. A set of rows is ranked by its
// Score, lowest first: the most numbers that two rows share, then how many
// pairs share that many, then how unevenly the numbers are used.
//
// The search is reproducible: the same lottery, row count, seed and steps
// give the same rows on every build and machine, however its work is
// scheduled. Its random numbers come from the runtime's generator, in
// integer arithmetic, and no decision rests on floating point. A search by
// time instead of steps gives no such promise.
//
// A search stops early when its rows provably cannot be beaten: when their
// score equals least_score, a lower bound on the score of any M rows of the
// lottery (below).

#ifndef ERILAISETRIVIT_RIVIT_OPTIMISE_H_
#define ERILAISETRIVIT_RIVIT_OPTIMISE_H_

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

struct Score {
  int largest_shared = 0;              // the most numbers two rows share; 0 for one row
  std::uint64_t pairs_at_largest = 0;  // the pairs of rows that share exactly that many
  int usage_range = 0;                 // rows of the most-used number minus those of the least-used, over all numbers

  // Lexicographic in the order above: less is better. (clang-tidy takes the
  // 0 that a defaulted three-way comparison is compared with for a pointer.)
  friend auto operator<=>(const Score&, const Score&) = default;  // NOLINT(modernize-use-nullptr)
};

// The score of `rows`, counted pair by pair.
Score score_of(std::span<const RowMask> rows, Lottery lottery);

// The Johnson bound: no more than this many rows of `lottery` can share at
// most `shared` numbers pairwise. J(n, k, s) = floor(n * J(n - 1, k - 1,
// s - 1) / k), J(n, k, 0) = floor(n / k); the largest uint64 for shared >=
// length, where rows may repeat.
std::uint64_t johnson_bound(Lottery lottery, int shared);

// A score that no `rows` rows of `lottery` can beat:
// - largest shared: the least t with johnson_bound(lottery, t) >= rows;
// - pairs at it: every row uses numbers, and a number used by u rows puts
//   C(u, 2) into the total S of the counts shared over all pairs, which is
//   least when the numbers are used as evenly as possible. With at most t
//   shared, S <= (C(rows, 2) - P) (t - 1) + P t, so P >= S - C(rows, 2) (t - 1);
//   and P >= 1 for two rows or more;
// - usage range: 0 when rows * length is a multiple of numbers, else 1.
// Any set of rows with a lower first criterion than this is impossible, so
// rows whose score equals it are a best set. REQUIRES: within_limits(lottery), rows >= 1.
Score least_score(Lottery lottery, std::size_t rows);

// A search's steps when none are asked for: about two seconds on two cores
// of a 2.6 GHz AMD EPYC (2.6 s measured for 30 rows, load average 4). A step
// costs time in proportion to the rows, beyond a few, so more than
// kDefaultStepsRows rows take proportionally fewer steps.
inline constexpr std::uint64_t kDefaultSteps = 2'000'000;
inline constexpr std::size_t kDefaultStepsRows = 30;
constexpr std::uint64_t default_steps(std::size_t rows) {
  return kDefaultSteps * kDefaultStepsRows / std::max(rows, kDefaultStepsRows);
}
inline constexpr std::size_t kMostRows = 1U << 16;

// Why `rows` rows of `lottery` are not searched for, as the fronts say it;
// nothing when they are. REQUIRES: within_limits(lottery).
std::optional<std::string> rows_problem(Lottery lottery, std::size_t rows);

struct RowSearch {
  Lottery lottery;
  std::size_t rows = 1;
  std::uint64_t seed = 0;
  std::uint64_t steps = kDefaultSteps;  // for each of the two searches
  std::optional<double> seconds;        // when set, search this long instead of `steps` steps
};

struct FoundRows {
  std::vector<RowMask> rows;
  Score score;
  std::uint64_t steps_taken = 0;  // by the search whose rows these are
  bool proven_best = false;       // score == least_score: no rows can do better
};

// A request is searched by two searches, each on a seed of its own drawn
// from the request's seed: the first walks from rows built to share few
// numbers where the bound allows no fewer (kBuiltStart), the other from rows
// drawn at random. Built rows meet the least largest shared count where a
// walk alone stalls above it; where both meet it, either may end with fewer
// pairs at it. The two are independent, so a caller may run them at once,
// and the result is better_of the two, whatever the order they ran in
// (RowsRace, jobs.h, runs them so).
inline constexpr int kSearches = 2;
inline constexpr int kBuiltStart = 0;
std::array<std::uint64_t, kSearches> search_seeds(std::uint64_t seed);

// One of the two searches, taken a slice of steps at a time: it finds the
// same rows however its steps are handed out. A search by time ends when the
// caller's clock says so, and promises nothing of the kind.
class RowsSearch {
 public:
  // REQUIRES: within_limits(request.lottery), 1 <= request.rows <= kMostRows,
  // 0 <= which < kSearches.
  RowsSearch(const RowSearch& request, int which);
  ~RowsSearch();
  RowsSearch(RowsSearch&&) noexcept;
  RowsSearch& operator=(RowsSearch&&) noexcept;

  // Takes up to `steps` more steps. `elapsed`: for a search by time, the
  // seconds since it began, read from the caller's clock between slices.
  void advance(std::uint64_t steps, double elapsed = 0);
  // No step left: its rows are proven best, or its steps or time are spent.
  bool done() const;
  // The other search proved its rows best after `steps` steps: this one
  // cannot win after more, so it ends there.
  void cap(std::uint64_t steps);
  // The best score so far; nothing while its start is still being built.
  std::optional<Score> best_score() const;
  std::uint64_t steps_taken() const;
  // REQUIRES: done().
  FoundRows result() const;

 private:
  class State;
  std::unique_ptr<State> state_;
};

// The result kept of the two searches': of rows proven best, those found in
// fewer steps; else the better score; the first on a tie.
const FoundRows& better_of(const FoundRows& first, const FoundRows& second);

// How many steps a slice given to advance should hold for `rows` rows: about
// 40 ms of work on a 2.6 GHz core, short enough that a front that checks its
// clock or a stop between slices answers at once.
constexpr std::uint64_t steps_per_slice(std::size_t rows) {
  constexpr std::uint64_t kSliceWork = std::uint64_t{1} << 20;
  return std::max<std::uint64_t>(1, kSliceWork / rows);
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_OPTIMISE_H_
