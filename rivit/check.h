// Checking a set of rows: how many numbers the two closest rows share, with
// one pair that shares it, and, when asked, whether the rows keep a wheel's
// guarantee (guarantee.h). The check is written by report/check_report.h.

#ifndef ERILAISETRIVIT_RIVIT_CHECK_H_
#define ERILAISETRIVIT_RIVIT_CHECK_H_

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "rivit/game.h"
#include "rivit/guarantee.h"
#include "rivit/lottery.h"
#include "rivit/read.h"

namespace rivit {

// Two rows, by their index, that share `numbers` numbers.
struct SharedPair {
  int numbers;
  std::size_t first;
  std::size_t second;  // first < second
};

// The largest count of numbers that two of the rows share, and the first pair
// of rows found to share it; nothing for fewer than two rows.
//
// Rather than compare every pair, it looks for k = K, K - 1, ... 1 for two
// rows with a common k-number subset, by hashing every k-subset of every row;
// the first k with a collision is the answer. A pass without one meets each
// subset at most once, so it costs C(K, k) probes a row and no more table
// than C(N, k) subsets.
// REQUIRES: within_limits(lottery); every row a mask of lottery.length numbers
// from 1 to lottery.numbers.
std::optional<SharedPair> closest_pair(std::span<const RowMask> rows, Lottery lottery);

struct RowsCheck {
  std::size_t rows = 0;
  // The most numbers two rows share and the line numbers of the first pair
  // found to share it (first < second); nothing for fewer than two rows.
  std::optional<SharedPair> closest;
  // Asked for: whether the rows keep a wheel's guarantee (guarantee.h).
  std::optional<GuaranteeCheck> guarantee;
};

// The check of rows read from text. REQUIRES: !read.bad.
RowsCheck check_of(const ReadRows& read);

// The check of a game's lines, by their main numbers: numbers past 64 are
// compared pair by pair, the rest as closest_pair does. `line_numbers`: of
// each line in its text. REQUIRES: every line holds `length` main numbers
// of 1..numbers.
RowsCheck check_of_lines(std::span<const NumberSet> lines, std::span<const std::size_t> line_numbers, int numbers,
                         int length);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_CHECK_H_
