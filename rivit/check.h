// Checking a set of rows: how many numbers the two closest rows share, with
// one pair that shares it, and the lines that --check prints.

#ifndef ERILAISETRIVIT_RIVIT_CHECK_H_
#define ERILAISETRIVIT_RIVIT_CHECK_H_

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

// The lines that --check prints for rows read from text.
std::vector<std::string> check_report(const ReadRows& read);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_CHECK_H_
