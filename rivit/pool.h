// A player's pool: the numbers that a wheel's rows are drawn from, written as
// a list of single numbers and ranges ("1-12", "3,7,11,19,24,30",
// "1-5,9,12-14"; a space may follow a comma). Parsing never throws: it gives
// the pool or a message that names what is wrong.

#ifndef ERILAISETRIVIT_RIVIT_POOL_H_
#define ERILAISETRIVIT_RIVIT_POOL_H_

#include <string>
#include <string_view>

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

// The pool in the form parse_pool reads, ascending, runs of three or more
// numbers as ranges: "1-5, 9, 12-14"; "" for the empty pool.
std::string pool_text(RowMask pool);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_POOL_H_
