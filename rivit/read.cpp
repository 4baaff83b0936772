#include "rivit/read.h"

#include <string>
#include <utility>

namespace rivit {

namespace {

// The row of a line's fields, or the message of what is wrong with it.
std::optional<std::string> parse_row(const Fields& fields, Lottery lottery, Row& row) {
  row.clear();
  RowMask seen = 0;
  for (const std::string_view field : fields) {
    int number = 0;
    if (std::optional<std::string> problem = parse_number(field, lottery.numbers, number)) return problem;
    if ((seen & number_bit(number)) != 0) return std::to_string(number) + " appears twice";
    seen |= number_bit(number);
    row.push_back(number);
  }
  if (row.size() == static_cast<std::size_t>(lottery.length)) return std::nullopt;
  return numbers_count(row.size()) + ", a row has " + std::to_string(lottery.length);
}

}  // namespace

std::string csv_header(int length) {
  std::string header;
  for (int i = 1; i <= length; ++i) header += (i > 1 ? ",n" : "n") + std::to_string(i);
  return header;
}

RowsReader::RowsReader(Lottery lottery) : filter_(csv_header(lottery.length)), read_{lottery, {}, {}, std::nullopt} {}

bool RowsReader::take(std::string_view line) {
  if (read_.bad) return false;
  const std::optional<std::string_view> data = filter_.data(line);
  if (!data) return true;
  std::optional<std::string> problem = split_fields(*data, {}, fields_);
  if (!problem) problem = parse_row(fields_, read_.lottery, row_);
  if (problem) {
    read_.bad = BadLine{filter_.lines(), std::move(*problem)};
    return false;
  }
  read_.rows.push_back(row_);
  read_.lines.push_back(filter_.lines());
  return true;
}

ReadRows read_rows(std::string_view text, Lottery lottery) {
  RowsReader reader(lottery);
  for_each_line(text, [&reader](std::string_view line) { return reader.take(line); });
  return reader.read();
}

std::string file_line_message(const BadLine& bad, std::string_view file) {
  return std::string(file) + ":" + std::to_string(bad.line) + ": " + bad.message;
}

std::string line_message(const BadLine& bad) { return "line " + std::to_string(bad.line) + ": " + bad.message; }

}  // namespace rivit
