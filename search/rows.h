// The row functions: drawing a candidate row and measuring how many numbers
// it shares with the stored rows. A row is a list of 7 distinct integers from
// 1 to 40 in the order they were drawn. The functions talk through the
// program-wide variables (globals.h); only montaoikein takes arguments.

#ifndef ERILAISETRIVIT_SEARCH_ROWS_H_
#define ERILAISETRIVIT_SEARCH_ROWS_H_

#include "runtime/value.h"
#include "search/globals.h"
#include "search/row.h"

namespace search {

// Replaces arvotturivi with a new row of kNumbersInRow distinct numbers from
// 1 to kLargestNumber, drawn uniformly; a number drawn again is drawn anew.
void arvorivi(Globals& g);

// The number of pairs (position i of rivi1, 1 <= i <= 7; any position j of
// rivi2) whose elements are equal: for two rows, the numbers they share.
// A position past the end of rivi1 holds the absent value and adds nothing.
rt::Integer montaoikein(Globals& g, rt::Value rivi1, rt::Value rivi2);

// The largest montaoikein of any stored row of rivit with arvotturivi, 0
// when rivit is empty. Every stored row is measured: when the stored rows and
// the candidate are sets, by the overlap kernel over the row index, otherwise
// pair by pair. Either way the working variables are left as the pair-by-pair
// pass leaves them.
// REQUIRES: rivit changed only by set_up and store_row (the index is in step).
rt::Integer enitenoikein(Globals& g);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_ROWS_H_
