// Helpers for the unit tests and benchmarks of the row search: a runtime
// booted with the program's literal block, a fixed seed and a sink that
// keeps the printed lines, and the program-wide variables living in it, set
// up as the driver sets them up; and a loop over the overlap kernel's paths.

#ifndef ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_
#define ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_

#include <cstdint>
#include <iostream>

#include "runtime/output.h"
#include "runtime/runtime.h"
#include "search/driver.h"
#include "search/globals.h"
#include "search/overlap_paths.h"

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
// forced in turn, then puts back the path that was in use. Names on standard
// output each path that this CPU cannot run, and returns how many ran: a
// test of every path that ran none has tested nothing.
template <typename Body>
int ForEachOverlapPath(Body body) {
  const OverlapPath& in_use = overlap_path();
  int ran = 0;
  for (const OverlapPath& path : overlap_paths()) {
    if (force_overlap_path(path)) {
      ++ran;
      body(path);
    } else {
      std::cout << "overlap path " << path.name << " not run: this CPU cannot run it\n";
    }
  }
  force_overlap_path(in_use);
  return ran;
}

}  // namespace search::test

#endif  // ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_
