#include "rivit/pool.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

#include "rivit/fields.h"

namespace rivit {
namespace {

// More digits than this cannot be a number of any lottery, and are not read
// into an int.
constexpr std::size_t kMostDigits = 6;

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The value of a run of decimal digits; nothing for anything else.
std::optional<int> digits_value(std::string_view text) {
  if (text.empty() || text.size() > kMostDigits) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Adds the numbers of one piece ("7" or "3-9") to `pool`; the error, if any.
std::string add_piece(std::string_view piece, int numbers, NumberSet& pool) {
  const std::size_t dash = piece.find('-');
  const std::string_view low_text = trimmed(piece.substr(0, dash));
  const std::string_view high_text = dash == std::string_view::npos ? low_text : trimmed(piece.substr(dash + 1));
  const std::optional<int> low = digits_value(low_text);
  const std::optional<int> high = digits_value(high_text);
  if (!low || !high) return quoted_field(piece) + " is not a number or a range of numbers";
  const std::string range = " is not from 1 to " + std::to_string(numbers);
  if (*low < 1 || *low > numbers) return std::to_string(*low) + range;
  if (*high < 1 || *high > numbers) return std::to_string(*high) + range;
  if (*low > *high) return quoted_field(piece) + " runs from high to low";
  for (int n = *low; n <= *high; ++n) {
    if (pool.has(n)) return std::to_string(n) + " is in the pool twice";
    pool.add(n);
  }
  return {};
}

}  // namespace

ParsedGamePool parse_game_pool(std::string_view text, int numbers, int length) {
  NumberSet pool;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view piece = trimmed(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    std::string error = add_piece(piece, numbers, pool);
    if (!error.empty()) return {{}, std::move(error)};
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  const int size = pool.size();
  if (size < length) {
    return {{}, "the pool has " + std::to_string(size) + " numbers, fewer than a row's " + std::to_string(length)};
  }
  if (size > kMostNumbers) {
    return {{}, "the pool has " + std::to_string(size) + " numbers, more than " + std::to_string(kMostNumbers)};
  }
  return {pool, {}};
}

ParsedPool parse_pool(std::string_view text, Lottery lottery) {
  ParsedGamePool parsed = parse_game_pool(text, lottery.numbers, lottery.length);
  return {parsed.pool.row_mask(), std::move(parsed.error)};
}

std::string pool_text(const NumberSet& pool) {
  std::string text;
  const std::vector<int> numbers = pool.numbers();
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t run = 1;
    while (i + run < numbers.size() && numbers[i + run] == numbers[i] + static_cast<int>(run)) ++run;
    if (!text.empty()) text += ", ";
    text += std::to_string(numbers[i]);
    if (run >= 3) {
      text.append("-").append(std::to_string(numbers[i + run - 1]));
    } else if (run == 2) {
      text.append(", ").append(std::to_string(numbers[i + 1]));
    }
    i += run;
  }
  return text;
}

std::string pool_text(RowMask pool) { return pool_text(NumberSet::of_row_mask(pool)); }

RenumberedPool::RenumberedPool(const NumberSet& pool, int length)
    : numbers_(pool.numbers()), lottery_{std::max(static_cast<int>(numbers_.size()), length + 1), length} {}

RowMask RenumberedPool::inside(const NumberSet& numbers) const {
  RowMask mask = 0;
  for (std::size_t i = 0; i < numbers_.size(); ++i) {
    if (numbers.has(numbers_[i])) mask |= number_bit(static_cast<int>(i) + 1);
  }
  return mask;
}

NumberSet RenumberedPool::outside(RowMask row) const {
  NumberSet numbers;
  for_each_number(row, [&](int n) { numbers.add(numbers_[static_cast<std::size_t>(n)]); });
  return numbers;
}

}  // namespace rivit
