// The figures a player reads, written one way in every report: a share of
// the draws as a percentage, and "1 in X". Both come from the exact counts
// at the moment they are written, never from each other.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_FIGURES_H_
#define ERILAISETRIVIT_RIVIT_REPORT_FIGURES_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace rivit {

// printf into a string, for the reports' fixed-width lines.
template <typename... Arguments>
std::string printed(const char* format, Arguments... arguments) {
  char line[256];
  std::snprintf(line, sizeof line, format, arguments...);
  return line;
}

// 100 × part / whole; 0 for no whole.
inline double percent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

// "1 in 2663365.71": whole / part to two decimals; "never" for no part.
inline std::string one_in(std::uint64_t part, std::uint64_t whole) {
  if (part == 0) return "never";
  return printed("1 in %.2f", static_cast<double>(whole) / static_cast<double>(part));
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_FIGURES_H_
