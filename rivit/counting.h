// Counts of draws and outcomes past what 64 bits hold, said once: sums,
// products and binomials that stop at kCountless rather than wrap, so that
// "too many" is a value a caller can test and name.

#ifndef ERILAISETRIVIT_RIVIT_COUNTING_H_
#define ERILAISETRIVIT_RIVIT_COUNTING_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "rivit/game.h"

namespace rivit {

// A count that does not fit 64 bits.
inline constexpr std::uint64_t kCountless = std::numeric_limits<std::uint64_t>::max();

constexpr std::uint64_t saturating_sum(std::uint64_t a, std::uint64_t b) {
  return b > kCountless - a ? kCountless : a + b;
}

constexpr std::uint64_t saturating_product(std::uint64_t a, std::uint64_t b) {
  return a != 0 && b > kCountless / a ? kCountless : a * b;
}

// C(n, k) by Pascal's triangle for every n of a game and every k of a line or
// draw, kCountless where it does not fit; 0 outside the triangle. A table
// made at compile time, for the counts' inner loops.
class Binomials {
 public:
  constexpr Binomials() {
    for (int n = 0; n < kRows; ++n) {
      at(n, 0) = 1;
      for (int k = 1; k < kColumns && k <= n; ++k) at(n, k) = saturating_sum(at(n - 1, k - 1), at(n - 1, k));
    }
  }
  // REQUIRES: n <= kMostGameNumbers, k <= kMostLineNumbers.
  constexpr std::uint64_t operator()(int n, int k) const { return n < 0 || k < 0 || k > n ? 0 : table_[index(n, k)]; }

 private:
  static constexpr int kRows = kMostGameNumbers + 1;
  static constexpr int kColumns = kMostLineNumbers + 1;
  static constexpr std::size_t index(int n, int k) {
    return static_cast<std::size_t>(n) * kColumns + static_cast<std::size_t>(k);
  }
  constexpr std::uint64_t& at(int n, int k) { return table_[index(n, k)]; }
  std::array<std::uint64_t, static_cast<std::size_t>(kRows* kColumns)> table_{};
};

inline constexpr Binomials kSaturatingChoose;

// C(N, D)·C(N − D, B)·C(n, k), the equally likely outcomes of a game;
// kCountless where they do not fit.
inline std::uint64_t game_outcomes(const Game& game) {
  const std::uint64_t second = game.has_second() ? kSaturatingChoose(game.second.numbers, game.second.drawn) : 1;
  return saturating_product(saturating_product(kSaturatingChoose(game.main.numbers, game.main.drawn),
                                               kSaturatingChoose(game.main.numbers - game.main.drawn, game.bonus)),
                            second);
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_COUNTING_H_
