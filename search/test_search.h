// Helper for the unit tests of the row search: a runtime booted with the
// program's literal block, a fixed seed and a sink that keeps the printed
// lines, and the program-wide variables living in it, set up as the driver
// sets them up.

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

}  // namespace search::test

#endif  // ERILAISETRIVIT_SEARCH_TEST_SEARCH_H_
