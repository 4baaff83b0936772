// Helpers for the unit tests of the row search: a runtime booted with the
// program's literal block, a fixed seed and a sink that keeps the printed
// lines, and the program-wide variables living in it, set up as the driver
// sets them up; and a loop over the overlap kernel's paths.

#ifndef ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_
#define ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/output.h"
#include "runtime/runtime.h"
#include "search/driver.h"
#include "search/globals.h"
#include "search/overlap.h"

namespace search::test {

struct BootedSearch {
  explicit BootedSearch(std::uint64_t seed) : runtime(seed, sink), literals(start_with_literals(runtime)), g(runtime, literals) {
    set_up(g);
  }

  rt::LineCollector sink;
  rt::Runtime runtime;
  Literals literals;
  Globals g;
};

// Calls body(path) with each path of the overlap kernel that this CPU runs
// forced in turn, then puts back the path that was in use.
template <typename Body>
void ForEachOverlapPath(Body body) {
  const OverlapPath in_use = overlap_path();
  for (const OverlapPath path : kOverlapPaths) {
    if (force_overlap_path(path)) body(path);
  }
  force_overlap_path(in_use);
}

}  // namespace search::test

#endif  // ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_
