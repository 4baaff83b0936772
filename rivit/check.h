// Checking a set of rows: how many numbers the two closest rows share, with
// one pair that shares it, and the check written in each output format:
//   text  "rows: 44", "most shared: 2", "pair: lines 3 and 10";
//   csv   the header "rows,most_shared,first_line,second_line", then one line;
//   json  {"rows":44,"most_shared":2,"pair":[3,10]}.
// Fewer than two rows share nothing: the text says so, CSV leaves the fields
// empty and JSON writes null. The check of a guarantee adds a line to the
// text ("guarantee: 3 if 4 on 12 numbers: holds"), columns to the CSV
// (right,if_drawn,pool_numbers,sets,failing_sets,example) and an object
// "guarantee" to the JSON.

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
#include "runtime/output.h"

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

void write_check_text(const RowsCheck& check, rt::LineSink& out);
void write_check_csv(const RowsCheck& check, rt::LineSink& out);
void write_check_json(const RowsCheck& check, rt::LineSink& out);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_CHECK_H_
