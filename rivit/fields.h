// The pieces that reading numbers from text shares: rows (read.h), and a
// game's lines and draws (game_lines.h), so that the two read the same
// forms and word what is wrong the same way.
//
// A text is lines. A line that holds data is fields separated by spaces or
// tabs with at most one comma or semicolon between two ("1 2 3", "1,2,3",
// "1; 2; 3"). LineFilter says which lines hold data: not a blank line, not a
// "#" comment, not a CSV header on the first line that is neither; it takes
// a UTF-8 byte-order mark off the first line and a carriage return off the
// end of each, as editors on Windows write them.

#ifndef ERILAISETRIVIT_RIVIT_FIELDS_H_
#define ERILAISETRIVIT_RIVIT_FIELDS_H_

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rivit {

using Fields = std::vector<std::string_view>;

// Splits a line that holds data into fields. Each character of `alone`
// stands as a field by itself wherever it is written, with or without
// blanks around it: "+" between a game line's drums ("5 9+2", "5 9 + 2").
// The message of what is wrong ("a field is empty"), or nothing.
std::optional<std::string> split_fields(std::string_view line, std::string_view alone, Fields& fields);

// A field as a message shows it: quoted, cut short, every byte that is no
// printable UTF-8 character as \xHH.
std::string quoted_field(std::string_view field);

// The number a field holds, from 1 to `most`, in `number`; or the message of
// what is wrong: "\"x\" is not a number", "41 is not from 1 to 40".
std::optional<std::string> parse_number(std::string_view field, int most, int& number);

// "1 number", "7 numbers".
std::string numbers_count(std::size_t count);

// Which lines of a text hold data, counting every line.
class LineFilter {
 public:
  // `header`: the CSV header that the first line holding data may be.
  explicit LineFilter(std::string header);

  // The data of the next line (without its line feed), or nothing for a
  // line that holds none.
  std::optional<std::string_view> data(std::string_view line);
  // The lines taken, the last one included: its number, counted from 1.
  std::size_t lines() const { return lines_; }

 private:
  std::string header_;
  std::size_t lines_ = 0;
  bool before_data_ = true;
};

// Calls take(line) for each line of `text`, without its line feed, until
// take returns false.
template <typename Take>
void for_each_line(std::string_view text, Take take) {
  for (std::size_t position = 0; position < text.size();) {
    const std::size_t end = std::min(text.find('\n', position), text.size());
    if (!take(text.substr(position, end - position))) return;
    position = end + 1;
  }
}

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_FIELDS_H_
