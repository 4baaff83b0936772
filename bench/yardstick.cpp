// The yardstick: the row search written as a plain program, with no value
// runtime under it, so that the product's speed has something to be measured
// against. Each row is a 64-bit mask with bit k set for the number k; the
// numbers two rows share are the bits of their AND, counted with one
// population count. Phases, tolerances, budgets and report lines are the
// product's.
//
// Seeded from the operating system, as the product is. Given a seed as its one
// argument, it draws with the product's generator what the product draws with
// that seed, so a test can hold the two outputs side by side.

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kNumbersInRow = 7;
constexpr std::uint64_t kLargestNumber = 40;
constexpr int kFirstBudget = 1000;
constexpr int kPhases = 5;

// xoshiro256** seeded by splitmix64, with the same rejection of the few
// draws that would favour small residues.
class Generator {
 public:
  explicit Generator(std::uint64_t seed) {
    for (std::uint64_t& word : s_) {
      std::uint64_t z = (seed += 0x9E3779B97F4A7C15ULL);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
      word = z ^ (z >> 31);
    }
  }

  // A number from 1 to kLargestNumber.
  int Number() {
    constexpr std::uint64_t kLimit = UINT64_MAX - (UINT64_MAX % kLargestNumber + 1) % kLargestNumber;
    std::uint64_t draw;
    do {
      draw = Next();
    } while (draw > kLimit);
    return static_cast<int>(draw % kLargestNumber) + 1;
  }

 private:
  std::uint64_t Next() {
    const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = std::rotl(s_[3], 45);
    return result;
  }

  std::uint64_t s_[4];
};

std::uint64_t SeedFromOperatingSystem() {
  std::random_device device;
  const std::uint64_t seed = (std::uint64_t{device()} << 32) ^ device();
  return seed ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::uint64_t DrawRow(Generator& generator) {
  std::uint64_t row = 0;
  for (int drawn = 0; drawn < kNumbersInRow;) {
    const std::uint64_t bit = std::uint64_t{1} << generator.Number();
    if ((row & bit) == 0) {
      row |= bit;
      ++drawn;
    }
  }
  return row;
}

int MostShared(const std::vector<std::uint64_t>& rows, std::uint64_t candidate) {
  int most = 0;
  for (const std::uint64_t row : rows) most = std::max(most, std::popcount(row & candidate));
  return most;
}

}  // namespace

int main(int argc, char** argv) {
  Generator generator(argc > 1 ? std::strtoull(argv[1], nullptr, 10) : SeedFromOperatingSystem());
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
