#include "rivit/format.h"

#include <algorithm>
#include <string>

namespace rivit {

namespace {

std::string joined(Row row, bool sorted, const char* separator) {
  if (sorted) std::sort(row.begin(), row.end());
  std::string line;
  for (const int n : row) {
    if (!line.empty()) line += separator;
    line += std::to_string(n);
  }
  return line;
}

}  // namespace

void write_rows(std::span<const Row> rows, Format format, bool sorted, rt::LineSink& out) {
  switch (format) {
    case Format::kText:
      for (const Row& row : rows) out.WriteLine(joined(row, sorted, " "));
      break;
    case Format::kCsv:
      out.WriteLine(kCsvHeader);
      for (const Row& row : rows) out.WriteLine(joined(row, sorted, ","));
      break;
    case Format::kJson:
      out.WriteLine("[");
      for (std::size_t i = 0; i < rows.size(); ++i) {
        out.WriteLine("  [" + joined(rows[i], sorted, ", ") + (i + 1 < rows.size() ? "]," : "]"));
      }
      out.WriteLine("]");
      break;
  }
}

}  // namespace rivit
