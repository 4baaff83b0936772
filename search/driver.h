// The search driver: five phases of drawing candidate rows and keeping those
// that share at most the phase's tolerance of numbers with every row kept so
// far. The tolerance starts at 0 and rises by one a phase; the attempt number
// runs on across phases and a phase ends after the attempt numbered by the
// budget, which starts at 1000 and doubles: 1000, 1000, 2000, 4000 and 8000
// attempts. Each phase ends with its report line.

#ifndef ERILAISETRIVIT_SEARCH_DRIVER_H_
#define ERILAISETRIVIT_SEARCH_DRIVER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "search/globals.h"

namespace search {

inline constexpr rt::Integer kFirstBudget = 1000;
inline constexpr rt::Integer kPhases = 5;

// What an attempt came to: whether its candidate was stored, and whether it
// was the last attempt of its phase (the phase's report line follows it).
struct Attempt {
  bool accepted;
  bool ends_phase;
};
// Called after every attempt, with the variables as the attempt left them.
using AttemptObserver = std::function<void(const Globals& g, const Attempt& attempt)>;

// The set-up of the program-wide variables.
void set_up(Globals& g);
// The five phases. REQUIRES: set_up(g).
void run_phases(Globals& g, const AttemptObserver& observer = {});

// A whole search with a fixed seed, for tests and benchmarks: the report
// lines it printed and the stored rows it left.
struct SearchResult {
  std::vector<std::string> lines;
  rt::Value rivit;
};
SearchResult run_search(std::uint64_t seed, const AttemptObserver& observer = {});

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_DRIVER_H_
