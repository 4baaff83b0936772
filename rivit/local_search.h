// What the rows searches share: their random draws and their uphill chances,
// both in integer arithmetic, so that every build makes the same decisions.

#ifndef ERILAISETRIVIT_RIVIT_LOCAL_SEARCH_H_
#define ERILAISETRIVIT_RIVIT_LOCAL_SEARCH_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <utility>

#include "rivit/lottery.h"
#include "runtime/random.h"

namespace rivit {

// The runtime's generator, whose integer arithmetic draws the same numbers
// on every build and machine, drawing from 0 to n - 1.
// REQUIRES: 1 <= n < 2^63.
template <typename Count>
Count below(rt::Random& random, Count n) {
  return static_cast<Count>(random.Uniform(static_cast<rt::Integer>(n)) - 1);
}

// Draws rows at random: each a partial shuffle of the numbers, which goes on
// from where the last row's left them.
class RowDraw {
 public:
  RowDraw() { std::iota(numbers_.begin(), numbers_.end(), 0); }

  RowMask next(rt::Random& random, Lottery lottery) {
    RowMask row = 0;
    for (int taken = 0; taken < lottery.length; ++taken) {
      const int pick = taken + below(random, lottery.numbers - taken);
      std::swap(numbers_[static_cast<std::size_t>(taken)], numbers_[static_cast<std::size_t>(pick)]);
      row |= RowMask{1} << numbers_[static_cast<std::size_t>(taken)];
    }
    return row;
  }

 private:
  std::array<int, kMostNumbers> numbers_;
};

// Takes a move that worsens a search by k units with the chance p^k, p =
// kTaken / kPer, and one that worsens it by kLimit units or more never. The
// chances are 32-bit fractions, each the one before times p rounded down.
template <std::uint64_t kTaken, std::uint64_t kPer, std::size_t kLimit>
class UphillChance {
 public:
  static bool takes(rt::Random& random, std::int64_t worse) {
    if (worse <= 0) return true;
    if (static_cast<std::uint64_t>(worse) >= kLimit) return false;
    return (random.Next() >> 32) < kChance[static_cast<std::size_t>(worse)];
  }

 private:
  static constexpr std::array<std::uint64_t, kLimit> kChance = [] {
    std::array<std::uint64_t, kLimit> chance{};
    std::uint64_t fraction = std::uint64_t{1} << 32;
    for (std::uint64_t& c : chance) {
      c = fraction;
      fraction = fraction * kTaken / kPer;
    }
    return chance;
  }();
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_LOCAL_SEARCH_H_
