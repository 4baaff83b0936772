#include "rivit/pool.h"

#include <bit>
#include <cstddef>
#include <optional>
#include <utility>

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

std::string quoted(std::string_view piece) { return std::string("\"").append(piece).append("\""); }

// Adds the numbers of one piece ("7" or "3-9") to `pool`; the error, if any.
std::string add_piece(std::string_view piece, Lottery lottery, RowMask& pool) {
  const std::size_t dash = piece.find('-');
  const std::string_view low_text = trimmed(piece.substr(0, dash));
  const std::string_view high_text = dash == std::string_view::npos ? low_text : trimmed(piece.substr(dash + 1));
  const std::optional<int> low = digits_value(low_text);
  const std::optional<int> high = digits_value(high_text);
  if (!low || !high) return quoted(piece) + " is not a number or a range of numbers";
  const std::string range = " is not from 1 to " + std::to_string(lottery.numbers);
  if (*low < 1 || *low > lottery.numbers) return std::to_string(*low) + range;
  if (*high < 1 || *high > lottery.numbers) return std::to_string(*high) + range;
  if (*low > *high) return quoted(piece) + " runs from high to low";
  for (int n = *low; n <= *high; ++n) {
    if ((pool & number_bit(n)) != 0) return std::to_string(n) + " is in the pool twice";
    pool |= number_bit(n);
  }
  return {};
}

}  // namespace

ParsedPool parse_pool(std::string_view text, Lottery lottery) {
  RowMask pool = 0;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view piece = trimmed(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    std::string error = add_piece(piece, lottery, pool);
    if (!error.empty()) return {0, std::move(error)};
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  const int size = std::popcount(pool);
  if (size < lottery.length) {
    return {0,
            "the pool has " + std::to_string(size) + " numbers, fewer than a row's " + std::to_string(lottery.length)};
  }
  return {pool, {}};
}

std::string pool_text(RowMask pool) {
  std::string text;
  while (pool != 0) {
    const auto low = static_cast<unsigned>(std::countr_zero(pool));
    const auto run = static_cast<unsigned>(std::countr_one(pool >> low));
    if (!text.empty()) text += ", ";
    text += std::to_string(low + 1);
    if (run >= 3) {
      text.append("-").append(std::to_string(low + run));
    } else if (run == 2) {
      text.append(", ").append(std::to_string(low + 2));
    }
    for (unsigned n = low; n < low + run; ++n) pool &= ~(RowMask{1} << n);
  }
  return text;
}

}  // namespace rivit
