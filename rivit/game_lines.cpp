#include "rivit/game_lines.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <limits>
#include <numeric>
#include <utility>

#include "rivit/counting.h"
#include "rivit/fields.h"

namespace rivit {

namespace {

constexpr std::string_view kPlus = "+";

using Problem = std::optional<std::string>;
using Part = std::span<const std::string_view>;

// The fields of a line that holds data, with "+" standing alone; none for a
// line of blanks, which then holds no numbers.
Problem fields_of(std::string_view text, Fields& fields) {
  fields.clear();
  if (text.find_first_not_of(" \t") == std::string_view::npos) return std::nullopt;
  return split_fields(text, kPlus, fields);
}

// The fields between the "+" fields: before the first, between, after the
// last.
std::vector<Part> parts_of(Part fields) {
  std::vector<Part> parts;
  for (std::size_t start = 0;;) {
    const auto plus = std::find(fields.begin() + static_cast<std::ptrdiff_t>(start), fields.end(), kPlus);
    const auto end = static_cast<std::size_t>(plus - fields.begin());
    parts.push_back(fields.subspan(start, end - start));
    if (plus == fields.end()) return parts;
    start = end + 1;
  }
}

// "no \"+\" part", "2 \"+\" parts".
std::string plus_parts(std::size_t count) {
  return (count == 0 ? std::string("no") : std::to_string(count)) + (count <= 1 ? " \"+\" part" : " \"+\" parts");
}

// What a draw's "+" parts hold.
std::string after_plus(const Game& game) {
  if (game.bonus > 0 && game.has_second()) return "the bonus and the second drum's numbers";
  return game.bonus > 0 ? "its bonus numbers" : "its second drum's numbers";
}

// The numbers of a part, each from 1 to `most` and none twice.
Problem numbers_of(Part fields, int most, NumberSet& set) {
  set = {};
  for (const std::string_view field : fields) {
    int number = 0;
    if (Problem problem = parse_number(field, most, number)) return problem;
    if (set.has(number)) return std::to_string(number) + " appears twice";
    set.add(number);
  }
  return std::nullopt;
}

// What is wrong with the count of a part's numbers: "8 numbers, a line has
// 7", "3 numbers after \"+\", a system has at least 2".
Problem count_problem(const NumberSet& set, std::string_view which, std::string_view holder, int wanted,
                      bool at_least) {
  const auto count = static_cast<std::size_t>(set.size());
  if (at_least ? count >= static_cast<std::size_t>(wanted) : count == static_cast<std::size_t>(wanted)) {
    return std::nullopt;
  }
  return numbers_count(count) + std::string(which) + ", " + std::string(holder) +
         (at_least ? " has at least " : " has ") + std::to_string(wanted);
}

Problem line_of(Part fields, const Game& game, bool system, GameLine& line) {
  const std::vector<Part> parts = parts_of(fields);
  if (!game.has_second() && parts.size() > 1) return "a \"+\" part, " + game.title + " has no second drum";
  if (game.has_second() && parts.size() != 2) return plus_parts(parts.size() - 1) + ", a line has one, before its second drum's numbers";
  const std::string_view holder = system ? "a system" : "a line";
  if (Problem problem = numbers_of(parts.front(), game.main.numbers, line.main)) return problem;
  if (Problem problem = count_problem(line.main, "", holder, game.line, system)) return problem;
  line.second = {};
  if (!game.has_second()) return std::nullopt;
  if (Problem problem = numbers_of(parts.back(), game.second.numbers, line.second)) return problem;
  return count_problem(line.second, " after \"+\"", holder, game.second.drawn, system);
}

// The value of `digits`, or -1 where they are not all digits.
int digits_value(std::string_view digits) {
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  const bool all_digits = std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  return all_digits && error == std::errc() && end == digits.data() + digits.size() ? value : -1;
}

// "YYYY-MM-DD", a day of the Gregorian calendar.
bool is_iso_date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  const int year = digits_value(text.substr(0, 4));
  const int month = digits_value(text.substr(5, 2));
  const int day = digits_value(text.substr(8, 2));
  if (year < 0 || month < 1 || month > 12 || day < 1) return false;
  constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDaysIn[month - 1] + (month == 2 && leap ? 1 : 0);
}

Problem draw_of(Part fields, const Game& game, bool dated, Draw& draw, std::string& date) {
  date.clear();
  if (dated && !fields.empty() && fields.front().find('-', 1) != std::string_view::npos) {
    if (!is_iso_date(fields.front())) return quoted_field(fields.front()) + " is not a date (YYYY-MM-DD)";
    date = fields.front();
    fields = fields.subspan(1);
  }
  const std::vector<Part> parts = parts_of(fields);
  const std::size_t pluses = (game.bonus > 0 ? 1U : 0U) + (game.has_second() ? 1U : 0U);
  if (parts.size() != pluses + 1) {
    return plus_parts(parts.size() - 1) + ", a draw has " + std::to_string(pluses) + ", before " + after_plus(game);
  }
  if (Problem problem = numbers_of(parts.front(), game.main.numbers, draw.main)) return problem;
  if (Problem problem = count_problem(draw.main, "", "a draw", game.main.drawn, false)) return problem;
  draw.bonus = {};
  if (game.bonus > 0) {
    if (Problem problem = numbers_of(parts[1], game.main.numbers, draw.bonus)) return problem;
    if (const NumberSet both = draw.main & draw.bonus; !both.empty()) {
      return std::to_string(both.numbers().front()) + " appears twice";
    }
    if (const int count = draw.bonus.size(); count != game.bonus) {
      return std::to_string(count) + (count == 1 ? " bonus number" : " bonus numbers") + ", a draw has " +
             std::to_string(game.bonus);
    }
  }
  draw.second = {};
  if (!game.has_second()) return std::nullopt;
  if (Problem problem = numbers_of(parts.back(), game.second.numbers, draw.second)) return problem;
  return count_problem(draw.second, game.bonus > 0 ? " after the last \"+\"" : " after \"+\"", "a draw",
                       game.second.drawn, false);
}

// "n1,...,nK", then for each part after a "+": "+,b1,...".
std::string csv_header_of(int main, std::initializer_list<std::pair<char, int>> parts) {
  std::string header = csv_header(main);
  for (const auto& [letter, count] : parts) {
    if (count == 0) continue;
    header += ",+";
    for (int i = 1; i <= count; ++i) header.append(",").append(1, letter).append(std::to_string(i));
  }
  return header;
}

// Calls visit(subset) for every subset of `count` of `numbers` (ascending),
// in the order of their numbers written ascending.
template <typename Visit>
void for_each_combination(const std::vector<int>& numbers, int count, Visit visit) {
  const std::size_t n = numbers.size();
  const auto k = static_cast<std::size_t>(count);
  if (k > n) return;
  std::vector<std::size_t> index(k);
  std::iota(index.begin(), index.end(), std::size_t{0});
  while (true) {
    NumberSet subset;
    for (const std::size_t i : index) subset.add(numbers[i]);
    visit(subset);
    // The last index that can still move right moves, and those after it
    // follow it closely.
    std::size_t moving = k;
    while (moving > 0 && index[moving - 1] == n - k + moving - 1) --moving;
    if (moving == 0) return;
    ++index[moving - 1];
    for (std::size_t i = moving; i < k; ++i) index[i] = index[i - 1] + 1;
  }
}

// "3 432 000".
std::string spaced(std::uint64_t count) {
  const std::string digits = std::to_string(count);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(' ');
    text.push_back(digits[i]);
  }
  return count == kCountless ? text.append(" or more") : text;
}

}  // namespace

ParsedLine parse_line(std::string_view text, const Game& game, bool system) {
  ParsedLine parsed;
  Fields fields;
  Problem problem = fields_of(text, fields);
  if (!problem) problem = line_of(fields, game, system, parsed.line);
  if (problem) parsed = {GameLine{}, std::move(*problem)};
  return parsed;
}

LinesReader::LinesReader(const Game& game, bool system)
    : game_(&game), system_(system), filter_(line_csv_header(game)) {}

bool LinesReader::take(std::string_view text) {
  if (read_.bad) return false;
  const std::optional<std::string_view> data = filter_.data(text);
  if (!data) return true;
  GameLine line;
  Problem problem = fields_of(*data, fields_);
  if (!problem) problem = line_of(fields_, *game_, system_, line);
  if (problem) {
    read_.bad = BadLine{filter_.lines(), std::move(*problem)};
    return false;
  }
  read_.lines.push_back(line);
  read_.line_numbers.push_back(filter_.lines());
  return true;
}

ReadLines read_lines(std::string_view text, const Game& game, bool system) {
  LinesReader reader(game, system);
  for_each_line(text, [&reader](std::string_view line) { return reader.take(line); });
  return reader.read();
}

std::string line_csv_header(const Game& game) {
  return csv_header_of(game.line, {{'s', game.has_second() ? game.second.drawn : 0}});
}

std::string draw_csv_header(const Game& game) {
  return "date," +
         csv_header_of(game.main.drawn, {{'b', game.bonus}, {'s', game.has_second() ? game.second.drawn : 0}});
}

std::uint64_t system_lines(const GameLine& system, const Game& game) {
  const std::uint64_t second = game.has_second() ? kSaturatingChoose(system.second.size(), game.second.drawn) : 1;
  return saturating_product(kSaturatingChoose(system.main.size(), game.line), second);
}

std::vector<GameLine> expand_system(const GameLine& system, const Game& game) {
  std::vector<GameLine> lines;
  // At most kMostSystemLines, which every size_t holds.
  lines.reserve(static_cast<std::size_t>(system_lines(system, game)));
  const std::vector<int> seconds = system.second.numbers();
  const int second_count = game.has_second() ? game.second.drawn : 0;
  for_each_combination(system.main.numbers(), game.line, [&](NumberSet main) {
    for_each_combination(seconds, second_count, [&](NumberSet second) { lines.push_back({main, second}); });
  });
  return lines;
}

std::optional<std::string> system_problem(std::span<const GameLine> systems, const Game& game) {
  const std::string most = ": at most " + spaced(kMostSystemLines);
  std::uint64_t total = 0;
  for (const GameLine& system : systems) {
    const std::uint64_t lines = system_lines(system, game);
    if (lines > kMostSystemLines) return "a system of " + spaced(lines) + " lines" + most;
    total = saturating_sum(total, lines);
  }
  if (total > kMostSystemLines) return "the systems stand for " + spaced(total) + " lines" + most;
  return std::nullopt;
}

ParsedDraw parse_draw(std::string_view text, const Game& game, bool dated) {
  ParsedDraw parsed;
  Fields fields;
  Problem problem = fields_of(text, fields);
  if (!problem) problem = draw_of(fields, game, dated, parsed.draw, parsed.date);
  if (problem) parsed = {Draw{}, {}, std::move(*problem)};
  return parsed;
}

ReadDraws read_draws(std::string_view text, const Game& game) {
  ReadDraws read;
  LineFilter filter(draw_csv_header(game));
  Fields fields;
  Draw draw;
  std::string date;
  for_each_line(text, [&](std::string_view line) {
    const std::optional<std::string_view> data = filter.data(line);
    if (!data) return true;
    Problem problem = fields_of(*data, fields);
    if (!problem) problem = draw_of(fields, game, true, draw, date);
    if (problem) {
      read.bad = BadLine{filter.lines(), std::move(*problem)};
      return false;
    }
    read.draws.push_back(draw);
    read.dates.push_back(date);
    read.line_numbers.push_back(filter.lines());
    return true;
  });
  return read;
}

LineResult result_of(const GameLine& line, const Draw& draw, const Game& game) {
  LineResult result{(line.main & draw.main).size(), (line.main & draw.bonus).size(), (line.second & draw.second).size(),
                    std::nullopt};
  result.tier = tier_of(game, result.main, result.bonus, result.second);
  return result;
}

DrawResult check_draw(std::span<const GameLine> lines, const Draw& draw, const Game& game) {
  DrawResult result;
  result.tier_lines.assign(game.tiers.size(), 0);
  for (const GameLine& line : lines) {
    const LineResult& won = result.lines.emplace_back(result_of(line, draw, game));
    if (!won.tier) continue;
    ++result.tier_lines[*won.tier];
    const std::optional<Cents>& prize = game.tiers[*won.tier].prize;
    if (prize) {
      result.prizes += *prize;
    } else {
      result.every_prize_known = false;
    }
  }
  return result;
}

}  // namespace rivit
