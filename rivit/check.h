// Checking a set of rows: reading them from text, and finding the largest
// count of numbers that any two of them share, with one pair that shares it.
//
// The text holds one row a line: seven distinct integers from 1 to 40,
// separated by spaces or tabs with at most one comma among them ("1 2 3",
// "1,2,3", "1, 2, 3"). Blank lines and lines whose first character that is
// not a space is '#' are skipped, as is the header "n1,n2,n3,n4,n5,n6,n7" on
// the first line that is not, so that the command's own CSV checks as it is.
// A line may end in a carriage return.

#ifndef ERILAISETRIVIT_RIVIT_CHECK_H_
#define ERILAISETRIVIT_RIVIT_CHECK_H_

#include <cstddef>
#include <cstdio>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/row.h"

namespace rivit {

// Input that is not a list of rows, or that cannot be read. The message names
// the input, and the line for a bad line: "rows.txt:12: 41 is not from 1 to 40".
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReadRows {
  std::vector<Row> rows;
  // The line number of each row, counted from 1 over every line.
  std::vector<std::size_t> lines;
};

// Reads rows until the end of `file`, or up to the first bad line, after which
// it reads nothing more and raises InputError. `name` names `file` in messages.
ReadRows read_rows(std::FILE* file, std::string_view name);

// Two rows, by their index, that share `numbers` numbers.
struct SharedPair {
  int numbers;
  std::size_t first;
  std::size_t second;  // first < second
};

// The largest count of numbers that two of the rows share, and the first pair
// of rows found to share it; nothing for fewer than two rows. Each row is a
// mask of kNumbersInRow bits from 1 to kLargestNumber.
//
// Rather than compare every pair, it looks for k = 7, 6, ... 1 for two rows
// with a common k-number subset, by hashing every k-subset of every row;
// the first k with a collision is the answer. A pass without one meets each
// subset at most once, so it costs C(7, k) probes a row and no more table
// than C(40, k) subsets.
std::optional<SharedPair> most_shared(std::span<const RowMask> rows);

// The lines that --check prints for rows read from text.
std::vector<std::string> check_report(const ReadRows& read);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_CHECK_H_
