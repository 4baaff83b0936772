#include "rivit/prizes.h"

#include <charconv>
#include <cmath>

#include "rivit/fields.h"

namespace rivit {

namespace {

// An unsigned integer of 128 bits, as two words: what a sum of counts times
// prizes needs on every build, 32-bit ones included.
struct Wide {
  std::uint64_t high = 0;
  std::uint64_t low = 0;

  static Wide product(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a_low = a & 0xFFFFFFFFu, a_high = a >> 32;
    const std::uint64_t b_low = b & 0xFFFFFFFFu, b_high = b >> 32;
    const std::uint64_t low_low = a_low * b_low;
    const std::uint64_t high_low = a_high * b_low;
    const std::uint64_t low_high = a_low * b_high;
    const std::uint64_t middle = (low_low >> 32) + (high_low & 0xFFFFFFFFu) + (low_high & 0xFFFFFFFFu);
    return {a_high * b_high + (high_low >> 32) + (low_high >> 32) + (middle >> 32),
            (middle << 32) | (low_low & 0xFFFFFFFFu)};
  }
  // REQUIRES: the product fits 128 bits.
  Wide times(std::uint64_t factor) const {
    Wide result = product(low, factor);
    result.high += high * factor;
    return result;
  }
  Wide& operator+=(Wide other) {
    low += other.low;
    high += other.high + (low < other.low ? 1 : 0);
    return *this;
  }
  // The quotient by `divisor`, rounded half up. REQUIRES: it fits 64 bits.
  std::uint64_t divided_rounded(std::uint64_t divisor) const {
    // Long division a bit at a time: 128 steps, run once per result.
    std::uint64_t quotient = 0;
    Wide remainder;
    for (int bit = 127; bit >= 0; --bit) {
      remainder.high = (remainder.high << 1) | (remainder.low >> 63);
      remainder.low = (remainder.low << 1) | (((bit >= 64 ? high >> (bit - 64) : low >> bit)) & 1);
      if (remainder.high != 0 || remainder.low >= divisor) {
        remainder.low -= divisor;  // a carry out of the low word is gone with the borrow
        remainder.high = 0;
        if (bit < 64) quotient |= std::uint64_t{1} << bit;
      }
    }
    return quotient + (remainder.low >= divisor - remainder.low ? 1 : 0);
  }
  long double value() const { return std::ldexp(static_cast<long double>(high), 64) + static_cast<long double>(low); }
};

}  // namespace

std::optional<Cents> parse_amount(std::string_view text) {
  // A decimal point or, as Finnish and most of Europe write it, a comma.
  const std::size_t point = text.find_first_of(".,");
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  const auto digits = [](std::string_view part) {
    return part.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (whole.empty() || whole.size() > 12 || !digits(whole) || fraction.size() > 2 || !digits(fraction) ||
      (point != std::string_view::npos && fraction.empty())) {
    return std::nullopt;
  }
  Cents units = 0;
  std::from_chars(whole.data(), whole.data() + whole.size(), units);
  Cents cents = 0;
  for (std::size_t i = 0; i < 2; ++i) cents = cents * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  const Cents amount = units * 100 + cents;
  return amount <= kMostAmount ? std::optional<Cents>(amount) : std::nullopt;
}

std::string amount_text(Cents amount) {
  const std::string cents = std::to_string(amount % 100);
  return std::to_string(amount / 100) + "." + (cents.size() < 2 ? "0" : "") + cents;
}

std::optional<std::string> set_prize(Game& game, std::string_view setting) {
  const std::size_t equals = setting.rfind('=');
  if (equals == std::string_view::npos) {
    return quoted_field(setting).append(" is not TIER=AMOUNT");
  }
  const std::string_view name = setting.substr(0, equals);
  const std::optional<Cents> amount = parse_amount(setting.substr(equals + 1));
  if (!amount) {
    return quoted_field(setting.substr(equals + 1)).append(" is not an amount such as 2.50");
  }
  for (Tier& tier : game.tiers) {
    if (tier.name == name) {
      tier.prize = *amount;
      return std::nullopt;
    }
  }
  std::string names;
  for (const Tier& tier : game.tiers) names += (names.empty() ? "" : ", ") + tier.name;
  return std::string("the game has no tier ").append(quoted_field(name)).append(": its tiers are ").append(names);
}

ExpectedReturn expected_return(const Game& game, const TierOdds& one_line, std::uint64_t lines) {
  ExpectedReturn expected;
  expected.lines = lines;
  Wide sum;
  for (std::size_t t = 0; t < game.tiers.size(); ++t) {
    const Tier& tier = game.tiers[t];
    if (!tier.prize) {
      expected.unpriced.push_back(tier.name);
      continue;
    }
    ++expected.priced;
    sum += Wide::product(one_line.tiers[t], static_cast<std::uint64_t>(*tier.prize));
  }
  const Wide all_lines = sum.times(lines);
  expected.per_draw = static_cast<Cents>(all_lines.divided_rounded(one_line.outcomes));
  if (game.price) {
    expected.cost = *game.price * static_cast<Cents>(lines);
    if (*expected.cost > 0) {
      const long double ratio = all_lines.value() / static_cast<long double>(one_line.outcomes) /
                                static_cast<long double>(*expected.cost);
      expected.per_unit = static_cast<double>(std::round(ratio * 10000.0L) / 10000.0L);
    }
  }
  return expected;
}

}  // namespace rivit
