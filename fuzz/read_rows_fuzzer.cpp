// Fuzzes the companion's row reader. The first two bytes choose the lottery
// (a row length from 2 to 10, then how many numbers), the rest is the text.
// Whatever the bytes, the reader must give rows, and at most one bad line
// after them; anything else is a fault. Beyond that, its verdict is checked
// against a model written apart from it (Expected below), character by
// character: the rows it gives, and the line it stops at; and a message
// holds only printable characters, whatever bytes the line had.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/printable.h"
#include "rivit/read.h"

namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "read_rows_fuzzer: %s\n", what);
  std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What reading should give: the rows before the first bad line, and its
// number.
struct Verdict {
  std::vector<rivit::Row> rows;
  std::size_t bad_line = 0;  // 0: none
};

bool IsSeparator(char c) { return c == ',' || c == ';'; }

// One line as a row, or nothing. Fields are runs of characters other than
// blanks, commas and semicolons; between two fields stand blanks, at most
// one comma or semicolon, or both; a field is a number written in decimal digits with an optional minus.
bool ParseLine(std::string_view line, rivit::Lottery lottery, rivit::Row& row) {
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i]) && !IsSeparator(line[i])) ++i;
    const std::string_view field = line.substr(start, i - start);
    if (field.empty()) return false;
    const std::size_t digits = field[0] == '-' ? 1 : 0;
    if (digits == field.size() || field.find_first_not_of("0123456789", digits) != std::string_view::npos) {
      return false;
    }
    const std::size_t significant = field.find_first_not_of('0', digits);
    if (digits == 1 || significant == std::string_view::npos || field.size() - significant > 2) return false;
    const int n = std::stoi(std::string(field.substr(significant)));
    if (n > lottery.numbers) return false;
    for (const int earlier : row) {
      if (earlier == n) return false;
    }
    row.push_back(n);
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) return row.size() == static_cast<std::size_t>(lottery.length);
    if (IsSeparator(line[i])) ++i;
  }
}

Verdict Expected(std::string_view text, rivit::Lottery lottery) {
  Verdict verdict;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const std::string header = rivit::csv_header(lottery.length);
  bool first = true;
  std::size_t line_start = 0;
  for (std::size_t number = 1; line_start < text.size(); ++number) {
    std::size_t end = text.find('\n', line_start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(line_start, end - line_start);
    line_start = next;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size() || line[start] == '#') continue;
    const bool was_first = first;
    first = false;
    if (was_first && line.substr(start) == header) continue;
    rivit::Row row;
    if (!ParseLine(line, lottery, row)) {
      verdict.bad_line = number;
      return verdict;
    }
    verdict.rows.push_back(row);
  }
  return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int length = rivit::kShortestRow + data[0] % (rivit::kLongestRow - rivit::kShortestRow + 1);
  const rivit::Lottery lottery{length + 1 + data[1] % (rivit::kMostNumbers - length), length};
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);  // NOLINT
  const Verdict verdict = Expected(text, lottery);

  const rivit::ReadRows read = rivit::read_rows(text, lottery);
  Check(read.rows == verdict.rows, "the rows differ from the model's");
  Check(read.lines.size() == read.rows.size(), "a row without its line number");
  Check(read.bad.has_value() == (verdict.bad_line != 0),
        read.bad ? "good rows were refused" : "a bad line was read as a row");
  if (read.bad) {
    Check(read.bad->line == verdict.bad_line, "the error names the wrong line");
    Check(!read.bad->message.empty() && Printable(read.bad->message), "the message shows a byte that is no character");
  }
  return 0;
}
