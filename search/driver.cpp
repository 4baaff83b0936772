#include "search/driver.h"

#include "runtime/operations.h"
#include "search/rows.h"
#include "search/storage.h"

namespace search {

void set_up(Globals& g) {
  g.rivit = rt::Copy(g.literals.empty_rivit);
  g.rivit_index.Clear();
  g.yrityksia = kFirstBudget;
  g.oikein = 0;
  g.yritys = 1;
}

void run_phases(Globals& g, const AttemptObserver& observer) {
  do {
    Attempt attempt{};
    do {
      arvorivi(g);
      attempt.accepted = enitenoikein(g) <= g.oikein.integer();
      if (attempt.accepted) store_row(g);
      g.yritys = rt::Add(g.yritys.integer(), 1);
      attempt.ends_phase = g.yritys.integer() > g.yrityksia.integer();
      if (observer) observer(g, attempt);
    } while (!attempt.ends_phase);
    print_report_line(g);
    g.yrityksia = rt::Multiply(g.yrityksia.integer(), 2);
    g.oikein = rt::Add(g.oikein.integer(), 1);
  } while (g.oikein.integer() != kPhases);
}

SearchResult run_search(std::uint64_t seed, const AttemptObserver& observer) {
  rt::LineCollector collector;
  rt::Runtime runtime(seed, collector);
  const Literals literals = start_with_literals(runtime);
  Globals g(runtime, literals);
  set_up(g);
  run_phases(g, observer);
  return {std::move(collector.lines), g.rivit};
}

}  // namespace search
