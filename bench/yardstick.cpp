// The yardstick: the row search written as a plain program, with no value
// runtime under it, so that the product's speed has something to be measured
// against. Each row is a 64-bit mask with bit k set for the number k; the
// numbers two rows share are the bits of their AND, counted with one
// population count. Phases, tolerances, budgets and report lines are the
// product's.
//
// It draws with the product's generator, seeded from the operating system as
// the product is. Given a seed as its one argument, it draws what the product
// draws with that seed, so a test can hold the two outputs side by side.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/random.h"

namespace {

constexpr int kNumbersInRow = 7;
constexpr rt::Integer kLargestNumber = 40;
constexpr int kFirstBudget = 1000;
constexpr int kPhases = 5;

std::uint64_t DrawRow(rt::Random& generator) {
  std::uint64_t row = 0;
  for (int drawn = 0; drawn < kNumbersInRow;) {
    const std::uint64_t bit = std::uint64_t{1} << generator.Uniform(kLargestNumber);
    if ((row & bit) == 0) {
      row |= bit;
      ++drawn;
    }
  }
  return row;
}

// The scalar POPCNT instruction, whatever the build's baseline.
[[gnu::target("popcnt")]] int MostShared(const std::vector<std::uint64_t>& rows, std::uint64_t candidate) {
  int most = 0;
  for (const std::uint64_t row : rows) most = std::max(most, __builtin_popcountll(row & candidate));
  return most;
}

}  // namespace

int main(int argc, char** argv) {
  rt::Random generator =
      argc > 1 ? rt::Random(std::strtoull(argv[1], nullptr, 10)) : rt::Random::FromOperatingSystem();
  std::vector<std::uint64_t> rows;
  int attempt = 1;
  int budget = kFirstBudget;
  for (int tolerance = 0; tolerance < kPhases; ++tolerance, budget *= 2) {
    for (; attempt <= budget; ++attempt) {
      const std::uint64_t candidate = DrawRow(generator);
      if (MostShared(rows, candidate) <= tolerance) rows.push_back(candidate);
    }
    std::printf("Vahintaan %d saa noin %zu:lla rivilla\n", tolerance + 1, rows.size());
  }
  return 0;
}
