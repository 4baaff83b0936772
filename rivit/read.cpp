#include "rivit/read.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <utility>

namespace rivit {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kSeparators = ",;";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kLongestQuotedField = 20;  // characters

std::size_t skip_blanks(std::string_view text, std::size_t position) {
  return std::min(text.find_first_not_of(kBlanks, position), text.size());
}

// The length of the UTF-8 sequence of a printable character at the start of
// `text`, or 0 for a byte that starts none: a control character, a stray
// continuation byte, an overlong or truncated sequence, a surrogate.
std::size_t printable_sequence(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || text.size() < length) return 0;
  std::uint32_t code = lead & (0x7FU >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0U) != 0x80U) return 0;
    code = code << 6 | (byte(i) & 0x3FU);
  }
  constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool valid = code >= kLeast[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  return valid && code >= 0xA0 ? length : 0;
}

// A field as a message shows it: quoted, cut short, every byte that is no
// printable character as \xHH.
std::string quoted(std::string_view field) {
  std::string shown = "\"";
  std::size_t characters = 0;
  while (!field.empty() && characters < kLongestQuotedField) {
    const std::size_t length = printable_sequence(field);
    if (length == 0) {
      constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<std::uint8_t>(field.front());
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
      field.remove_prefix(1);
    } else {
      shown += field.substr(0, length);
      field.remove_prefix(length);
    }
    ++characters;
  }
  return shown + (field.empty() ? "\"" : "...\"");
}

// A line's fields, or the message of what is wrong with them.
using Fields = std::vector<std::string_view>;

std::optional<std::string> split_fields(std::string_view line, Fields& fields) {
  fields.clear();
  for (std::size_t i = skip_blanks(line, 0);;) {
    const std::size_t end = std::min(line.find_first_of(" \t,;", i), line.size());
    if (end == i) return "a field is empty";
    fields.push_back(line.substr(i, end - i));
    i = skip_blanks(line, end);
    if (i == line.size()) return std::nullopt;
    if (kSeparators.find(line[i]) != std::string_view::npos) i = skip_blanks(line, i + 1);
  }
}

// The row of a line's fields, or the message of what is wrong with it.
std::optional<std::string> parse_row(const Fields& fields, Lottery lottery, Row& row) {
  row.clear();
  RowMask seen = 0;
  for (const std::string_view field : fields) {
    int number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (end != field.data() + field.size()) return quoted(field) + " is not a number";
    if (error != std::errc() || number < 1 || number > lottery.numbers) {
      return std::string(field) + " is not from 1 to " + std::to_string(lottery.numbers);
    }
    if ((seen & number_bit(number)) != 0) return std::to_string(number) + " appears twice";
    seen |= number_bit(number);
    row.push_back(number);
  }
  if (row.size() == static_cast<std::size_t>(lottery.length)) return std::nullopt;
  return std::to_string(row.size()) + (row.size() == 1 ? " number" : " numbers") + ", a row has " +
         std::to_string(lottery.length);
}

}  // namespace

std::string csv_header(int length) {
  std::string header;
  for (int i = 1; i <= length; ++i) header += (i > 1 ? ",n" : "n") + std::to_string(i);
  return header;
}

RowsReader::RowsReader(Lottery lottery) : header_(csv_header(lottery.length)), read_{lottery, {}, {}, std::nullopt} {}

bool RowsReader::take(std::string_view line) {
  if (read_.bad) return false;
  if (++lines_ == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t start = skip_blanks(line, 0);
  if (start == line.size() || line[start] == '#') return true;
  if (std::exchange(before_first_row_, false) && line.substr(start) == header_) return true;
  std::optional<std::string> problem = split_fields(line, fields_);
  if (!problem) problem = parse_row(fields_, read_.lottery, row_);
  if (problem) {
    read_.bad = BadLine{lines_, std::move(*problem)};
    return false;
  }
  read_.rows.push_back(row_);
  read_.lines.push_back(lines_);
  return true;
}

ReadRows read_rows(std::string_view text, Lottery lottery) {
  RowsReader reader(lottery);
  for (std::size_t position = 0; position < text.size();) {
    const std::size_t end = std::min(text.find('\n', position), text.size());
    if (!reader.take(text.substr(position, end - position))) break;
    position = end + 1;
  }
  return reader.read();
}

std::string file_line_message(const BadLine& bad, std::string_view file) {
  return std::string(file) + ":" + std::to_string(bad.line) + ": " + bad.message;
}

std::string line_message(const BadLine& bad) { return "line " + std::to_string(bad.line) + ": " + bad.message; }

}  // namespace rivit
