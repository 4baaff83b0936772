// The overlap kernel: the largest count of numbers that a candidate shares
// with any stored row, counted over the row index (row_index.h) as the
// largest population count of candidate AND row mask.
//
// Several paths give the same counts at different speeds (overlap_paths.h):
// vector and population-count instructions where the CPU has them, plain C++
// that any CPU runs. The build assumes no more than the platform's baseline
// (x86-64, or i686 on 32-bit Windows): the fastest path that this CPU and
// operating system support is chosen once per process, on the first count.

#ifndef ERILAISETRIVIT_SEARCH_OVERLAP_H_
#define ERILAISETRIVIT_SEARCH_OVERLAP_H_

#include <span>

#include "search/row_index.h"

namespace search {

// The largest population count of `candidate & row` over `rows`; 0 when
// there are none.
int largest_overlap(std::span<const RowMask> rows, RowMask candidate);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_OVERLAP_H_
