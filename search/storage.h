// Storing an accepted row and printing a phase's report line. Both go through
// text: a row is stored by joining its row text, "[n1 n2 ... n7 ]" with a
// space after every number, and reading that text back as a list, so the
// stored row is a new list equal to the candidate, never the candidate list
// itself. The report line reads "Vahintaan <oikein + 1> saa noin <rows>:lla
// rivilla".

#ifndef ERILAISETRIVIT_SEARCH_STORAGE_H_
#define ERILAISETRIVIT_SEARCH_STORAGE_H_

#include "runtime/value.h"
#include "search/globals.h"

namespace search {

// The row text of arvotturivi, joined from the 16-item row template.
rt::Value row_text(const Globals& g);

// Adds one new row, equal to arvotturivi, at the tail of rivit, and its set
// mask to the row index.
void store_row(Globals& g);

// The report line of the phase that has just ended.
rt::Value report_line(const Globals& g);
void print_report_line(Globals& g);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_STORAGE_H_
