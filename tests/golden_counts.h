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

namespace tests {

struct GoldenCounts {
  std::uint64_t seed;
  std::array<std::size_t, 5> rows;  // by the end of each phase
};

inline constexpr GoldenCounts kGoldenCounts[] = {
    {1, {4, 9, 44, 306, 2835}}, {2, {4, 9, 46, 306, 2858}}, {20261208, {4, 8, 45, 302, 2862}}};

}  // namespace tests

#endif  // ERILAISETRIVIT_TESTS_GOLDEN_COUNTS_H_
