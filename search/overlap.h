// The overlap kernel: the largest count of numbers that a candidate shares
// with any stored row, counted over the row index (row_index.h) as the
// largest population count of candidate AND row mask.
//
// Four paths give the same counts at different speeds: AVX-512 with its
// 64-bit population count (VPOPCNTQ), eight rows an instruction; AVX2, four
// rows at a time, counting the bits of each half-byte by table lookup; the
// scalar POPCNT instruction; and plain C++ that any CPU runs. The build
// assumes no more than the platform's baseline (x86-64, or i686 on 32-bit
// Windows): the fastest path that this CPU and operating system support is
// chosen once per process, on the first count.

#ifndef ERILAISETRIVIT_SEARCH_OVERLAP_H_
#define ERILAISETRIVIT_SEARCH_OVERLAP_H_

#include <span>
#include <string_view>

#include "search/row_index.h"

namespace search {

enum class OverlapPath { kAvx512, kAvx2, kPopcnt, kPortable };
// Fastest first: the order in which the choice tries them.
inline constexpr OverlapPath kOverlapPaths[] = {OverlapPath::kAvx512, OverlapPath::kAvx2, OverlapPath::kPopcnt,
                                                OverlapPath::kPortable};

// "avx512", "avx2", "popcnt", "portable".
std::string_view overlap_path_name(OverlapPath path);
// True when this CPU and operating system can run `path`.
bool cpu_runs(OverlapPath path);

// The largest population count of `candidate & row` over `rows`; 0 when
// there are none.
int most_shared(std::span<const RowMask> rows, RowMask candidate);

// The path that most_shared takes, choosing it first if none is set yet.
OverlapPath overlap_path();
// For benchmarks and tests: makes most_shared take `path` from now on.
// Returns false, and changes nothing, when the CPU cannot run it.
bool force_overlap_path(OverlapPath path);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_OVERLAP_H_
