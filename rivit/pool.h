// A player's pool: the numbers that a wheel's rows are drawn from, written as
// a list of single numbers and ranges ("1-12", "3,7,11,19,24,30",
// "1-5,9,12-14"; a space may follow a comma). Parsing never throws: it gives
// the pool or a message that names what is wrong.

#ifndef ERILAISETRIVIT_RIVIT_POOL_H_
#define ERILAISETRIVIT_RIVIT_POOL_H_

#include <string>
#include <string_view>
#include <vector>

#include "rivit/game.h"
#include "rivit/lottery.h"

namespace rivit {

struct ParsedPool {
  RowMask pool = 0;   // the pool's numbers; 0 when `error` is set
  std::string error;  // empty when the list is a pool of the lottery
};

// The pool written in `text`, or why it is not one: a piece that is neither
// a number nor a range (quoted), a number not from 1 to lottery.numbers, a
// range from high to low, a number given twice, or fewer numbers than a row.
// REQUIRES: within_limits(lottery).
ParsedPool parse_pool(std::string_view text, Lottery lottery);

// A pool of a game's main drum, whose numbers may go past 64 (Powerball's
// 69, SuperEnalotto's 90): the same list, of numbers from 1 to `numbers`,
// at most kMostNumbers of them and at least `length`.
// REQUIRES: 1 <= length, numbers <= kMostGameNumbers.
struct ParsedGamePool {
  NumberSet pool;
  std::string error;
};
ParsedGamePool parse_game_pool(std::string_view text, int numbers, int length);

// The pool in the form parse_pool reads, ascending, runs of three or more
// numbers as ranges: "1-5, 9, 12-14"; "" for the empty pool.
std::string pool_text(const NumberSet& pool);
std::string pool_text(RowMask pool);

// A pool as a lottery of its own: its v numbers are 1 to v there, in
// order, so that a wheel of a game's numbers past 64 is searched and
// checked as any other, and its rows are named by the pool's numbers again.
class RenumberedPool {
 public:
  // REQUIRES: length <= pool.size() <= kMostNumbers, kShortestRow <= length <= kLongestRow.
  RenumberedPool(const NumberSet& pool, int length);

  // v numbers, or one more than a row where the pool is a row.
  Lottery lottery() const { return lottery_; }
  // Every number of the pool, renumbered: 1 to v.
  RowMask pool() const { return all_numbers({static_cast<int>(numbers_.size()), lottery_.length}); }
  // The numbers of the pool among `numbers`, renumbered.
  RowMask inside(const NumberSet& numbers) const;
  // A renumbered row named by the pool's numbers.
  NumberSet outside(RowMask row) const;

 private:
  std::vector<int> numbers_;  // the pool's numbers, ascending: numbers_[i] is i + 1 renumbered
  Lottery lottery_;
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_POOL_H_
