// Rows by rotation: a start for the rows search when it asks for many rows.
//
// Turning a row s places (each number n to n + s, counted around the
// lottery's numbers) gives the lottery's numbers rows, one for each s; a set
// of k such orbits holds k * numbers rows. Two rows of it share what one
// orbit's base row shares with some turn of another base row (or of its
// own), so a search over the k base rows judges all the pairs of the k *
// numbers rows while it moves only k rows: a search that many times
// smaller, where rows that share few numbers are plentiful. Rows of this
// shape fill a lottery far more densely than a search over free rows finds
// in the same time; the rows search then goes on from them.
//
// The search is the local search of local_search.h with a model of the base
// rows: it lowers the excess, the numbers that pairs of rows share beyond a
// target, counted by what the rows of whole orbits share, and takes its
// random draws from the caller's generator, so that the same generator state
// gives the same rows on every build.
//
// Inside the library only (rivit_internal): its fronts never include it.

#ifndef ERILAISETRIVIT_RIVIT_INTERNAL_ROTATION_H_
#define ERILAISETRIVIT_RIVIT_INTERNAL_ROTATION_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rivit/lottery.h"
#include "runtime/random.h"

namespace rivit {

// The most base rows a search by rotation moves: beyond them, a step, which
// judges every base row against every other, costs more than it saves.
inline constexpr std::size_t kMostBaseRows = 128;

struct RotationSearch {
  Lottery lottery;
  std::size_t rows = 0;     // rounded up to whole orbits for the search, then cut back
  int target = 0;           // the most numbers two rows should share
  std::uint64_t steps = 0;  // the most it may take
};

struct RotatedRows {
  std::vector<RowMask> rows;  // search.rows of them
  // The numbers that pairs of rows share beyond the target, summed over all
  // pairs of the rows returned: 0 when the search met its target.
  std::uint64_t excess = 0;
  std::uint64_t steps_taken = 0;
};

// `rows` rounded up to whole orbits: the rows that a search by rotation moves.
std::size_t whole_orbits(Lottery lottery, std::size_t rows);

// Whether a search by rotation can start `rows` rows of `lottery`: at least
// one whole orbit, at most kMostBaseRows of them.
bool rotation_fits(Lottery lottery, std::size_t rows);

class RotationWalk;

// A search by rotation, taken a few steps at a time: its rows are the same
// however its steps are handed out. It takes at most search.steps steps and
// is done early when no pair exceeds the target.
class RotatedRowsSearch {
 public:
  // Draws its start from `random`. REQUIRES: within_limits(search.lottery), rotation_fits(search.lottery,
  // search.rows), 0 <= search.target < search.lottery.length.
  RotatedRowsSearch(const RotationSearch& search, rt::Random& random);
  ~RotatedRowsSearch();
  RotatedRowsSearch(RotatedRowsSearch&&) noexcept;
  RotatedRowsSearch& operator=(RotatedRowsSearch&&) noexcept;

  // Takes up to `steps` more steps, drawing from `random`.
  void advance(std::uint64_t steps, rt::Random& random);
  bool done() const;
  // The best whole orbits so far, cut back to search.rows rows by dropping,
  // one at a time, a row with the most excess.
  RotatedRows result() const;

 private:
  RotationSearch search_;
  std::unique_ptr<RotationWalk> walk_;
};

// Row turned `by` places around the lottery's numbers. REQUIRES: 0 <= by < lottery.numbers.
RowMask turned(RowMask row, int by, Lottery lottery);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_INTERNAL_ROTATION_H_
