#include "rivit/check.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "rivit/format.h"

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

// Splits a line into its fields. Returns an error message, or empty.
std::string split_fields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  for (std::size_t i = skip_blanks(line, 0);;) {
    const std::size_t end = std::min(line.find_first_of(" \t,", i), line.size());
    if (end == i) return "a field is empty";
    fields.push_back(line.substr(i, end - i));
    i = skip_blanks(line, end);
    if (i == line.size()) return {};
    if (line[i] == ',') i = skip_blanks(line, i + 1);
  }
}

// A field as a message shows it: quoted, cut short, unprintable bytes as '?'.
std::string quoted(std::string_view field) {
  std::string shown = "\"";
  for (const char c : field.substr(0, kLongestQuotedField)) shown += (c >= ' ' && c <= '~') ? c : '?';
  if (field.size() > kLongestQuotedField) shown += "...";
  return shown + "\"";
}

// Reads `line` as a row into `row`. Returns an error message, or empty.
std::string parse_row(std::string_view line, std::vector<std::string_view>& fields, Row& row) {
  if (std::string error = split_fields(line, fields); !error.empty()) return error;
  RowMask seen = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string_view field = fields[i];
    int number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (end != field.data() + field.size()) return quoted(field) + " is not a number";
    if (error != std::errc() || number < 1 || number > kLargestNumber) {
      return std::string(field) + " is not from 1 to " + std::to_string(kLargestNumber);
    }
    const RowMask bit = RowMask{1} << (number - 1);
    if ((seen & bit) != 0) return std::to_string(number) + " appears twice";
    seen |= bit;
    if (i < row.size()) row[i] = number;
  }
  if (fields.size() != row.size()) {
    return std::to_string(fields.size()) + (fields.size() == 1 ? " number" : " numbers") + ", a row has " +
           std::to_string(kNumbersInRow);
  }
  return {};
}

constexpr std::size_t choose(std::size_t n, std::size_t k) {
  std::size_t result = 1;
  for (std::size_t i = 1; i <= k; ++i) result = result * (n - k + i) / i;
  return result;
}

// For each k, the k-member subsets of a row's positions 0 to 6, as bit masks.
using PositionSubsets = std::array<std::vector<std::uint8_t>, kNumbersInRow + 1>;
PositionSubsets position_subsets() {
  PositionSubsets subsets;
  for (unsigned choice = 1; choice < (1U << kNumbersInRow); ++choice) {
    subsets[static_cast<std::size_t>(std::popcount(choice))].push_back(static_cast<std::uint8_t>(choice));
  }
  return subsets;
}

// A set of non-zero masks, open addressing with linear probing, never more
// than half full.
class MaskSet {
 public:
  explicit MaskSet(std::size_t most_members)
      : slots_(std::bit_ceil(2 * most_members + 1)), shift_(64 - std::countr_zero(slots_.size())) {}

  // Adds `mask`; false when it was a member already.
  bool Insert(RowMask mask) {
    const std::size_t last = slots_.size() - 1;
    for (auto i = static_cast<std::size_t>((mask * 0x9E3779B97F4A7C15ULL) >> shift_);; i = (i + 1) & last) {
      if (slots_[i] == mask) return false;
      if (slots_[i] == 0) {
        slots_[i] = mask;
        return true;
      }
    }
  }

 private:
  std::vector<RowMask> slots_;
  int shift_;
};

}  // namespace

ReadRows read_rows(std::FILE* file, std::string_view name) {
  ReadRows read;
  std::string line;
  std::vector<std::string_view> fields;
  bool before_first_row = true;
  for (std::size_t number = 1; next_line(file, line); ++number) {
    const std::string_view text = line;
    const std::size_t start = skip_blanks(text, 0);
    if (start == text.size() || text[start] == '#') continue;
    if (std::exchange(before_first_row, false) && text.substr(start) == kCsvHeader) continue;
    Row row{};
    if (const std::string error = parse_row(text, fields, row); !error.empty()) {
      throw InputError(std::string(name) + ":" + std::to_string(number) + ": " + error);
    }
    read.rows.push_back(row);
    read.lines.push_back(number);
  }
  if (std::ferror(file) != 0) throw InputError("cannot read " + std::string(name) + ": " + std::strerror(errno));
  return read;
}

std::optional<SharedPair> most_shared(std::span<const RowMask> rows) {
  if (rows.size() < 2) return std::nullopt;
  static const PositionSubsets kSubsets = position_subsets();
  for (int k = kNumbersInRow; k >= 1; --k) {
    const std::vector<std::uint8_t>& choices = kSubsets[static_cast<std::size_t>(k)];
    MaskSet seen(std::min(rows.size() * choices.size(),
                          choose(static_cast<std::size_t>(kLargestNumber), static_cast<std::size_t>(k))));
    for (std::size_t second = 0; second < rows.size(); ++second) {
      std::array<RowMask, kNumbersInRow> bits{};
      RowMask rest = rows[second];
      for (RowMask& bit : bits) {
        bit = rest & (0 - rest);
        rest ^= bit;
      }
      for (const std::uint8_t choice : choices) {
        RowMask subset = 0;
        for (std::size_t p = 0; p < bits.size(); ++p) {
          if ((choice >> p & 1U) != 0) subset |= bits[p];
        }
        if (seen.Insert(subset)) continue;
        const auto first = static_cast<std::size_t>(
            std::find_if(rows.begin(), rows.end(), [subset](RowMask row) { return (row & subset) == subset; }) -
            rows.begin());
        return SharedPair{k, first, second};
      }
    }
  }
  return SharedPair{0, 0, 1};
}

std::vector<std::string> check_report(const ReadRows& read) {
  std::vector<std::string> lines = {"rows: " + std::to_string(read.rows.size())};
  std::vector<RowMask> masks(read.rows.size());
  std::transform(read.rows.begin(), read.rows.end(), masks.begin(), mask_of);
  const std::optional<SharedPair> most = most_shared(masks);
  if (!most) {
    lines.emplace_back("most shared: none, fewer than two rows");
    return lines;
  }
  lines.push_back("most shared: " + std::to_string(most->numbers));
  lines.push_back("pair: lines " + std::to_string(read.lines[most->first]) + " and " +
                  std::to_string(read.lines[most->second]));
  return lines;
}

}  // namespace rivit
