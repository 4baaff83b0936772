// The rows that the search keeps by the end of each phase for three seeds,
// recorded from the search as it stood when it was first complete. They fix
// the draws, their order and every decision to keep a row: every path of the
// overlap kernel, every build and every command that runs the search must
// give them.

#ifndef ERILAISETRIVIT_TESTS_GOLDEN_COUNTS_H_
#define ERILAISETRIVIT_TESTS_GOLDEN_COUNTS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tests {

struct GoldenCounts {
  std::uint64_t seed;
  std::array<std::size_t, 5> rows;  // by the end of each phase
};

inline constexpr GoldenCounts kGoldenCounts[] = {
    {1, {4, 9, 44, 306, 2835}}, {2, {4, 9, 46, 306, 2858}}, {20261208, {4, 8, 45, 302, 2862}}};

// The program's report line for a phase and the rows kept by its end.
inline std::string ReportLine(std::size_t phase, std::size_t rows) {
  return "Vahintaan " + std::to_string(phase) + " saa noin " + std::to_string(rows) + ":lla rivilla";
}

// The five report lines of a run that keeps these rows.
inline std::vector<std::string> ReportLines(const std::array<std::size_t, 5>& rows) {
  std::vector<std::string> lines;
  for (std::size_t phase = 1; phase <= rows.size(); ++phase) lines.push_back(ReportLine(phase, rows[phase - 1]));
  return lines;
}

}  // namespace tests

#endif  // ERILAISETRIVIT_TESTS_GOLDEN_COUNTS_H_
