// Rows to play: M rows of a lottery that share as few numbers as possible,
// found by a local search rather than drawn. A set of rows is ranked by its
// Score, lowest first: the most numbers that two rows share, then how many
// pairs share that many, then how unevenly the numbers are used.
//
// The search is reproducible: the same lottery, row count, seed and steps
// give the same rows on every build and machine. Its random numbers come
// from a generator written out here in integer arithmetic, and no decision
// rests on floating point. Two searches run side by side, on seeds drawn
// from the one seed, and the better result is kept (the first on a tie), so
// the result depends on the seed and the steps alone. A search by time
// instead of steps gives no such promise.
//
// A search stops early when its rows provably cannot be beaten: when their
// score equals least_score, a lower bound on the score of any M rows of the
// lottery (below).

#ifndef ERILAISETRIVIT_RIVIT_OPTIMISE_H_
#define ERILAISETRIVIT_RIVIT_OPTIMISE_H_

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
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

struct SearchProgress {
  std::uint64_t steps = 0;  // taken by the search that found `best`
  Score best;
};
// Called from the search threads, one call at a time, whenever the best score
// so far improves.
using ProgressFn = std::function<void(const SearchProgress&)>;

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

struct RowSearch {
  Lottery lottery;
  std::size_t rows = 1;
  std::uint64_t seed = 0;
  std::uint64_t steps = kDefaultSteps;  // for each of the two searches
  std::optional<double> seconds;        // when set, search this long instead of `steps` steps
  const ProgressFn* progress = nullptr;
};

struct FoundRows {
  std::vector<RowMask> rows;
  Score score;
  std::uint64_t steps_taken = 0;  // by the search whose rows these are
  bool proven_best = false;       // score == least_score: no rows can do better
};

// REQUIRES: within_limits(search.lottery), 1 <= search.rows <= kMostRows.
FoundRows find_rows(const RowSearch& search);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_OPTIMISE_H_
