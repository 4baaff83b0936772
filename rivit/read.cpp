#include "rivit/read.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <utility>

namespace rivit {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kLongestQuotedField = 20;

// The next line of `file` into `line`, without its line feed or a carriage
// return before it; false at the end of the input. Reads one character at a
// time, so that nothing past the line is taken from the stream.
bool next_line(std::FILE* file, std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(file)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  if (c == '\n' || !line.empty()) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
  return false;
}

std::size_t skip_blanks(std::string_view text, std::size_t position) {
  return std::min(text.find_first_not_of(kBlanks, position), text.size());
}

// A field as a message shows it: quoted, cut short, unprintable bytes as '?'.
std::string quoted(std::string_view field) {
  std::string shown = "\"";
  for (const char c : field.substr(0, kLongestQuotedField)) shown += (c >= ' ' && c <= '~') ? c : '?';
  if (field.size() > kLongestQuotedField) shown += "...";
  return shown + "\"";
}

// Reads the lines of one input, and raises InputError for the line at hand.
class LineReader {
 public:
  LineReader(std::FILE* file, std::string_view name, Lottery lottery)
      : file_(file), name_(name), lottery_(lottery), header_(csv_header(lottery.length)) {}

  ReadRows ReadAll() {
    ReadRows read{lottery_, {}, {}};
    bool before_first_row = true;
    for (line_number_ = 1; next_line(file_, line_); ++line_number_) {
      const std::string_view text = line_;
      const std::size_t start = skip_blanks(text, 0);
      if (start == text.size() || text[start] == '#') continue;
      if (std::exchange(before_first_row, false) && text.substr(start) == header_) continue;
      read.rows.push_back(ParseRow(text));
      read.lines.push_back(line_number_);
    }
    if (std::ferror(file_) != 0) throw InputError("cannot read " + std::string(name_) + ": " + std::strerror(errno));
    return read;
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw InputError(std::string(name_) + ":" + std::to_string(line_number_) + ": " + message);
  }

  void SplitFields(std::string_view line) {
    fields_.clear();
    for (std::size_t i = skip_blanks(line, 0);;) {
      const std::size_t end = std::min(line.find_first_of(" \t,", i), line.size());
      if (end == i) Fail("a field is empty");
      fields_.push_back(line.substr(i, end - i));
      i = skip_blanks(line, end);
      if (i == line.size()) return;
      if (line[i] == ',') i = skip_blanks(line, i + 1);
    }
  }

  Row ParseRow(std::string_view line) {
    SplitFields(line);
    Row row;
    RowMask seen = 0;
    for (const std::string_view field : fields_) {
      int number = 0;
      const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
      if (end != field.data() + field.size()) Fail(quoted(field) + " is not a number");
      if (error != std::errc() || number < 1 || number > lottery_.numbers) {
        Fail(std::string(field) + " is not from 1 to " + std::to_string(lottery_.numbers));
      }
      if ((seen & number_bit(number)) != 0) Fail(std::to_string(number) + " appears twice");
      seen |= number_bit(number);
      row.push_back(number);
    }
    if (row.size() != static_cast<std::size_t>(lottery_.length)) {
      Fail(std::to_string(row.size()) + (row.size() == 1 ? " number" : " numbers") + ", a row has " +
           std::to_string(lottery_.length));
    }
    return row;
  }

  std::FILE* file_;
  std::string_view name_;
  Lottery lottery_;
  std::string header_;
  std::string line_;
  std::vector<std::string_view> fields_;
  std::size_t line_number_ = 0;
};

}  // namespace

std::string csv_header(int length) {
  std::string header;
  for (int i = 1; i <= length; ++i) header += (i > 1 ? ",n" : "n") + std::to_string(i);
  return header;
}

ReadRows read_rows(std::FILE* file, std::string_view name, Lottery lottery) {
  return LineReader(file, name, lottery).ReadAll();
}

}  // namespace rivit
