// The paths of the overlap kernel (overlap.h), for the tests that hold each
// against a plain count and the benchmarks that time each: the table of the
// paths built for this target, fastest first, and a way to make
// largest_overlap take one of them. Every path gives the same counts; the
// last, plain C++, runs on any CPU. A path for another instruction set is a
// kernel in a file of its own and one row of the table (overlap.cpp).

#ifndef ERILAISETRIVIT_SEARCH_OVERLAP_PATHS_H_
#define ERILAISETRIVIT_SEARCH_OVERLAP_PATHS_H_

#include <cstddef>
#include <span>
#include <string_view>

#include "search/row_index.h"

namespace search {

// The largest population count of candidate AND rows[i] for i below count,
// 0 for none.
using OverlapKernel = int (*)(const RowMask* rows, std::size_t count, RowMask candidate);

struct OverlapPath {
  std::string_view name;  // "avx512", "avx2", "popcnt", "portable"
  bool (*supported)();    // whether this CPU and operating system run it
  OverlapKernel kernel;   // REQUIRES: supported()
};

// Every path built for this target, fastest first.
std::span<const OverlapPath> overlap_paths();

// The path that largest_overlap takes, choosing it first if none is set yet.
const OverlapPath& overlap_path();
// Makes largest_overlap take `path` from now on. Returns false, and changes
// nothing, when the CPU cannot run it.
// REQUIRES: `path` is a row of overlap_paths().
bool force_overlap_path(const OverlapPath& path);

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_OVERLAP_PATHS_H_
