#include "rivit/report/format.h"

#include <algorithm>
#include <array>

#include "rivit/read.h"
#include "rivit/report/check_report.h"
#include "rivit/report/game_report.h"
#include "rivit/report/odds_report.h"

namespace rivit {

namespace {

std::string numbers_line(Row row, bool sorted, const char* separator) {
  if (sorted) std::sort(row.begin(), row.end());
  std::string line;
  for (const int n : row) {
    if (!line.empty()) line += separator;
    line += std::to_string(n);
  }
  return line;
}

void write_text(std::span<const Row> rows, bool sorted, rt::LineSink& out) {
  for (const Row& row : rows) out.WriteLine(numbers_line(row, sorted, " "));
}

// A header even without rows would have to guess their length: a CSV of no
// rows is empty.
void write_csv(std::span<const Row> rows, bool sorted, rt::LineSink& out) {
  if (rows.empty()) return;
  out.WriteLine(csv_header(static_cast<int>(rows.front().size())));
  for (const Row& row : rows) out.WriteLine(numbers_line(row, sorted, ","));
}

void write_json(std::span<const Row> rows, bool sorted, rt::LineSink& out) {
  out.WriteLine("[");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out.WriteLine("  [" + numbers_line(rows[i], sorted, ", ") + (i + 1 < rows.size() ? "]," : "]"));
  }
  out.WriteLine("]");
}

constexpr std::array kFormatTable = {
    OutputFormat{"text", "one row a line, the numbers separated by spaces; odds as a table", write_text,
                 write_odds_text, write_check_text, write_game_odds_text, write_draws_check_text, write_lines_count_text},
    OutputFormat{"csv", "a header n1,...,nK, then one row a line; odds one line per count right", write_csv,
                 write_odds_csv, write_check_csv, write_game_odds_csv, write_draws_check_csv, write_lines_count_csv},
    OutputFormat{"json", "an array of arrays; odds and checks as one object", write_json, write_odds_json,
                 write_check_json, write_game_odds_json, write_draws_check_json, write_lines_count_json},
};

}  // namespace

const std::span<const OutputFormat> kOutputFormats = kFormatTable;

const OutputFormat* find_output_format(std::string_view name) {
  const auto* found = std::find_if(kFormatTable.begin(), kFormatTable.end(),
                                   [name](const OutputFormat& format) { return format.name == name; });
  return found == kFormatTable.end() ? nullptr : found;
}

}  // namespace rivit
