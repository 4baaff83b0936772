// Reading a set of rows from text, for any lottery.
//
// The text holds one row a line: `length` distinct integers from 1 to
// `numbers`, separated by spaces or tabs with at most one comma among them
// ("1 2 3", "1,2,3", "1, 2, 3"). Blank lines and lines whose first character
// that is not a space is '#' are skipped, as is the CSV header "n1,...,nK" of
// the lottery on the first line that is not, so that the command's own CSV
// reads as it is. A line may end in a carriage return.

#ifndef ERILAISETRIVIT_RIVIT_READ_H_
#define ERILAISETRIVIT_RIVIT_READ_H_

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

// Input that is not a list of rows, or that cannot be read. The message names
// the input, and the line for a bad line: "rows.txt:12: 41 is not from 1 to 40".
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReadRows {
  Lottery lottery;
  std::vector<Row> rows;
  // The line number of each row, counted from 1 over every line.
  std::vector<std::size_t> lines;
};

// "n1,n2,...,nK", the header of the command's CSV for rows of `length`
// numbers, which reading skips.
std::string csv_header(int length);

// Reads rows of `lottery` until the end of `file`, or up to the first bad
// line, after which it reads nothing more and raises InputError. `name` names
// `file` in messages. REQUIRES: within_limits(lottery).
ReadRows read_rows(std::FILE* file, std::string_view name, Lottery lottery);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_READ_H_
