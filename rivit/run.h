// One whole run of the program's row search, as the companion shows it: the
// report lines that erilaisetrivit prints for the same seed, every stored
// row, and how many rows had been stored when each phase ended. The stored
// rows only grow, so the rows of phase K are the first ones, and every pair
// of them shares at most K - 1 numbers. The search plays kProgramLottery.

#ifndef ERILAISETRIVIT_RIVIT_RUN_H_
#define ERILAISETRIVIT_RIVIT_RUN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rivit/lottery.h"
#include "search/driver.h"

namespace rivit {

inline constexpr int kPhases = static_cast<int>(search::kPhases);

struct Run {
  std::vector<std::string> report_lines;
  // In the order of acceptance; each row's numbers in the order drawn.
  std::vector<Row> rows;
  std::array<std::size_t, kPhases> stored_at_phase_end{};

  // The rows stored by the end of `phase`. REQUIRES: 1 <= phase <= kPhases.
  std::span<const Row> rows_of_phase(int phase) const {
    return std::span(rows).first(stored_at_phase_end[static_cast<std::size_t>(phase - 1)]);
  }
};

// Runs the search that erilaisetrivit runs with the generator seeded by
// `seed`, and records what it printed and stored.
Run record_run(std::uint64_t seed);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_RUN_H_
