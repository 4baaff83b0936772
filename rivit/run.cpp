#include "rivit/run.h"

#include "runtime/operations.h"

namespace rivit {

Run run_search(std::uint64_t seed) {
  Run run;
  std::size_t phase = 0;
  // The attempt that takes the attempt number past the phase's budget is the
  // phase's last.
  const auto note_phase_end = [&run, &phase](const search::Globals& g, bool /*accepted*/) {
    if (g.yritys.integer() > g.yrityksia.integer()) {
      run.stored_at_phase_end.at(phase++) = static_cast<std::size_t>(rt::Length(g.rivit));
    }
  };
  search::SearchResult result = search::run_search(seed, note_phase_end);
  run.report_lines = std::move(result.lines);
  for (rt::Integer position = 1; position <= rt::Length(result.rivit); ++position) {
    const rt::Value stored = rt::Element(result.rivit, position);
    Row& row = run.rows.emplace_back();
    for (std::size_t i = 0; i < row.size(); ++i) {
      row[i] = static_cast<int>(rt::Element(stored, static_cast<rt::Integer>(i + 1)).integer());
    }
  }
  return run;
}

}  // namespace rivit
