#include "rivit/run.h"

#include "runtime/operations.h"

namespace rivit {

Run record_run(std::uint64_t seed) {
  Run run;
  std::size_t phase = 0;
  const auto note_phase_end = [&run, &phase](const search::Globals& g, const search::Attempt& attempt) {
    if (attempt.ends_phase) run.stored_at_phase_end.at(phase++) = static_cast<std::size_t>(rt::Length(g.rivit));
  };
  search::SearchResult result = search::run_search(seed, note_phase_end);
  run.report_lines = std::move(result.lines);
  for (const rt::Value& stored : result.rivit.list()) {
    Row& row = run.rows.emplace_back();
    for (const rt::Value& number : stored.list()) row.push_back(static_cast<int>(number.integer()));
  }
  return run;
}

}  // namespace rivit
