// Reading a set of rows from text, for any lottery.
//
// The text holds one row a line: `length` distinct integers from 1 to
// `numbers`, separated by spaces or tabs with at most one comma or semicolon
// between two of them ("1 2 3", "1,2,3", "1; 2; 3", as spreadsheets write
// CSV in many locales). Blank lines and lines whose first character that is
// not a space is '#' are skipped, as is the CSV header "n1,...,nK" of the
// lottery on the first line that is not, so that the command's own CSV reads
// as it is. A line may end in a carriage return, and the text may begin with
// a UTF-8 byte-order mark, as editors on Windows write.

#ifndef ERILAISETRIVIT_RIVIT_READ_H_
#define ERILAISETRIVIT_RIVIT_READ_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/fields.h"
#include "rivit/lottery.h"

namespace rivit {

// The first line that is not a row, and what is wrong with it: "7 numbers,
// a row has 6", "\"x\" is not a number". A field in a message is quoted and
// cut short, and bytes that are no printable UTF-8 are shown as \xHH.
struct BadLine {
  std::size_t line = 0;  // counted from 1 over every line
  std::string message;

  friend bool operator==(const BadLine&, const BadLine&) = default;
};

struct ReadRows {
  Lottery lottery;
  // The rows before the first bad line, if any.
  std::vector<Row> rows;
  // The line number of each row, counted from 1 over every line.
  std::vector<std::size_t> lines;
  std::optional<BadLine> bad;
};

// "n1,n2,...,nK", the header of the command's CSV for rows of `length`
// numbers, which reading skips.
std::string csv_header(int length);

// Reads rows a line at a time, for a caller that reads its input so, and so
// stops reading at the first bad line: standard input that stays open.
class RowsReader {
 public:
  // REQUIRES: within_limits(lottery).
  explicit RowsReader(Lottery lottery);

  // Takes the next line, without its line feed; false once a line was bad,
  // after which it takes no more.
  bool take(std::string_view line);
  // What the lines taken came to.
  const ReadRows& read() const { return read_; }

 private:
  LineFilter filter_;
  ReadRows read_;
  Fields fields_;
  Row row_;
};

// Reads the rows of `lottery` in `text`, up to the first bad line, after
// which it reads nothing more. REQUIRES: within_limits(lottery).
ReadRows read_rows(std::string_view text, Lottery lottery);

// A bad line as a command names it in a file: "rows.txt:2: 7 numbers, a row
// has 6".
std::string file_line_message(const BadLine& bad, std::string_view file);
// A bad line of a text that has no name: "line 2: 7 numbers, a row has 6".
std::string line_message(const BadLine& bad);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_READ_H_
