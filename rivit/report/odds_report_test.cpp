// The odds as a player reads them: every figure that each writer prints, read
// back from its text and set against a count of every draw made here. The
// library's counts are tested on their own (odds_test.cpp); these tests catch
// a writer that prints a right count in the wrong column, a share of the
// wrong count or a wrong "1 in X".

#include "rivit/report/odds_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace rivit {
namespace {

// What a count of every draw against every row says, for a lottery small
// enough to go through every mask of its numbers.
struct Plain {
  std::uint64_t draws = 0;
  std::vector<std::uint64_t> best;  // best[k]: the draws whose best row has exactly k right
  std::uint64_t draws_if = 0;       // the draws that meet the condition
  std::vector<std::uint64_t> best_if;
  std::vector<std::size_t> balance;  // balance[n - 1]: the rows that hold n
};

Plain plain_count(const std::vector<RowMask>& rows, Lottery lottery, const std::optional<DrawCondition>& condition) {
  Plain plain;
  plain.best.assign(static_cast<std::size_t>(lottery.length) + 1, 0);
  plain.best_if = plain.best;
  for (RowMask draw = 0; draw < RowMask{1} << lottery.numbers; ++draw) {
    if (std::popcount(draw) != lottery.length) continue;
    int most = 0;
    for (const RowMask row : rows) most = std::max(most, std::popcount(row & draw));
    ++plain.draws;
    ++plain.best[static_cast<std::size_t>(most)];
    if (condition && std::popcount(draw & condition->pool) >= condition->if_drawn) {
      ++plain.draws_if;
      ++plain.best_if[static_cast<std::size_t>(most)];
    }
  }
  for (int n = 1; n <= lottery.numbers; ++n) {
    plain.balance.push_back(static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [n](RowMask row) { return (row & number_bit(n)) != 0; })));
  }
  return plain;
}

// The draws with k or more right, summed from the top.
std::vector<std::uint64_t> plain_at_least(const std::vector<std::uint64_t>& best) {
  std::vector<std::uint64_t> counts(best.size());
  std::uint64_t sum = 0;
  for (std::size_t k = best.size(); k-- > 0;) counts[k] = sum += best[k];
  return counts;
}

// The odds as the library counts them, every piece on this thread.
Odds counted(const std::vector<RowMask>& rows, Lottery lottery, const std::optional<DrawCondition>& condition) {
  const OddsCount count(rows, lottery, OddsOptions{condition, 0});
  OddsCount::Counter counter(count);
  for (std::size_t i = 0; i < count.pieces(); ++i) counter.count(i);
  return count.odds(counter.tally());
}

std::vector<std::string> written(void (*write)(const Odds&, rt::LineSink&), const Odds& odds) {
  rt::LineCollector out;
  write(odds, out);
  return out.lines;
}

// A share printed to `decimals` places is the exact 100 part / whole rounded:
// within half the last place of it (and a hair for the double it went
// through).
void expect_share(const std::string& printed, std::uint64_t part, std::uint64_t whole, int decimals) {
  const std::regex form("[0-9]+\\.[0-9]{" + std::to_string(decimals) + "}");
  EXPECT_TRUE(std::regex_match(printed, form)) << printed;
  const long double exact = 100.0L * static_cast<long double>(part) / static_cast<long double>(whole);
  const long double half_a_place = 0.5L * std::pow(10.0L, static_cast<long double>(-decimals));
  EXPECT_LE(std::abs(std::strtold(printed.c_str(), nullptr) - exact), half_a_place * 1.000001L)
      << printed << " % for " << part << " of " << whole;
}

// "1 in X" is whole / part to two places; "never" where part is 0.
void expect_one_in(const std::string& printed, std::uint64_t part, std::uint64_t whole) {
  if (part == 0) {
    EXPECT_EQ(printed, "never");
    return;
  }
  std::smatch x;
  ASSERT_TRUE(std::regex_match(printed, x, std::regex("1 in ([0-9]+\\.[0-9]{2})"))) << printed;
  const long double exact = static_cast<long double>(whole) / static_cast<long double>(part);
  EXPECT_LE(std::abs(std::strtold(x[1].str().c_str(), nullptr) - exact), 0.005L * 1.000001L)
      << printed << " for " << part << " of " << whole;
}

std::uint64_t number(const std::string& digits) { return std::stoull(digits); }

// The text table that starts at lines[at]: its header, then a line per k.
void expect_table(const std::vector<std::string>& lines, std::size_t at, const std::vector<std::uint64_t>& best,
                  std::uint64_t draws) {
  ASSERT_GE(lines.size(), at + 1 + best.size());
  EXPECT_EQ(lines[at], "right        exactly        at least  share at least  odds");
  const std::vector<std::uint64_t> at_least = plain_at_least(best);
  const std::regex form(" *([0-9]+) +([0-9]+) +([0-9]+) +([0-9.]+) %  (.*)");
  for (std::size_t k = 0; k < best.size(); ++k) {
    const std::string& line = lines[at + 1 + k];
    std::smatch field;
    ASSERT_TRUE(std::regex_match(line, field, form)) << line;
    EXPECT_EQ(number(field[1]), k) << line;
    EXPECT_EQ(number(field[2]), best[k]) << line;
    EXPECT_EQ(number(field[3]), at_least[k]) << line;
    expect_share(field[4], at_least[k], draws, 6);
    expect_one_in(field[5], at_least[k], draws);
  }
}

// The numbers of a pool written as "1-4, 7, 9".
RowMask read_pool(const std::string& text) {
  RowMask pool = 0;
  std::istringstream in(text);
  for (std::string piece; std::getline(in >> std::ws, piece, ',');) {
    const std::size_t dash = piece.find('-');
    const int low = std::stoi(piece.substr(0, dash));
    const int high = dash == std::string::npos ? low : std::stoi(piece.substr(dash + 1));
    for (int n = low; n <= high; ++n) pool |= number_bit(n);
  }
  return pool;
}

void expect_text(const std::vector<std::string>& lines, const std::vector<RowMask>& rows, Lottery lottery,
                 const std::optional<DrawCondition>& condition, const Plain& plain) {
  ASSERT_GE(lines.size(), 3U);
  EXPECT_EQ(lines[0], "rows: " + std::to_string(rows.size()));
  EXPECT_EQ(lines[1], "draws: " + std::to_string(plain.draws) + ", each " + std::to_string(lottery.length) +
                          " numbers from 1 to " + std::to_string(lottery.numbers));
  expect_table(lines, 2, plain.best, plain.draws);
  std::size_t at = 3 + plain.best.size();
  const auto reached = std::find_if(plain.best.begin(), plain.best.end(), [](std::uint64_t n) { return n > 0; });
  ASSERT_GT(lines.size(), at);
  EXPECT_EQ(lines[at++], "guaranteed: " + std::to_string(reached - plain.best.begin()));
  if (condition) {
    ASSERT_GT(lines.size(), at);
    std::smatch field;
    ASSERT_TRUE(std::regex_match(
        lines[at], field,
        std::regex("if at least ([0-9]+) of the pool's ([0-9]+) numbers are drawn \\((.*)\\): ([0-9]+) draws, "
                   "([0-9.]+) % of all")))
        << lines[at];
    EXPECT_EQ(number(field[1]), static_cast<std::uint64_t>(condition->if_drawn));
    EXPECT_EQ(number(field[2]), static_cast<std::uint64_t>(std::popcount(condition->pool)));
    EXPECT_EQ(read_pool(field[3]), condition->pool) << lines[at];
    EXPECT_EQ(number(field[4]), plain.draws_if);
    expect_share(field[5], plain.draws_if, plain.draws, 6);
    ++at;
    // No draw meets the condition: there are no shares of it to give.
    if (plain.draws_if != 0) {
      expect_table(lines, at, plain.best_if, plain.draws_if);
      at += 1 + plain.best_if.size();
    }
  }
  // The balance: the least and the most used numbers, then every number.
  const auto [least, most] = std::minmax_element(plain.balance.begin(), plain.balance.end());
  const auto holding = [&](std::size_t count) {
    std::string numbers;
    for (std::size_t i = 0; i < plain.balance.size(); ++i) {
      if (plain.balance[i] == count) numbers += (numbers.empty() ? "" : ", ") + std::to_string(i + 1);
    }
    return numbers + " (" + std::to_string(count) + " rows)";
  };
  ASSERT_GT(lines.size(), at + 2);
  EXPECT_EQ(lines[at], "least used: " + holding(*least));
  EXPECT_EQ(lines[at + 1], "most used: " + holding(*most));
  EXPECT_EQ(lines[at + 2], "rows holding each number:");
  std::vector<std::size_t> balance;
  const std::regex entry("([0-9]+): *([0-9]+)");
  for (std::size_t i = at + 3; i < lines.size(); ++i) {
    for (std::sregex_iterator e(lines[i].begin(), lines[i].end(), entry), end; e != end; ++e) {
      EXPECT_EQ(number((*e)[1]), balance.size() + 1) << lines[i];
      balance.push_back(static_cast<std::size_t>(number((*e)[2])));
    }
  }
  EXPECT_EQ(balance, plain.balance);
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

void expect_csv(const std::vector<std::string>& lines, const std::optional<DrawCondition>& condition,
                const Plain& plain) {
  ASSERT_EQ(lines.size(), plain.best.size() + 1);
  EXPECT_EQ(lines[0], std::string("right,exactly,at_least,percent_at_least") +
                          (condition ? ",exactly_if,at_least_if,percent_at_least_if" : ""));
  const std::vector<std::uint64_t> at_least = plain_at_least(plain.best);
  const std::vector<std::uint64_t> at_least_if = plain_at_least(plain.best_if);
  for (std::size_t k = 0; k < plain.best.size(); ++k) {
    const std::vector<std::string> field = fields_of(lines[k + 1]);
    ASSERT_EQ(field.size(), condition ? 7U : 4U) << lines[k + 1];
    EXPECT_EQ(number(field[0]), k);
    EXPECT_EQ(number(field[1]), plain.best[k]);
    EXPECT_EQ(number(field[2]), at_least[k]);
    expect_share(field[3], at_least[k], plain.draws, 6);
    if (!condition) continue;
    EXPECT_EQ(number(field[4]), plain.best_if[k]);
    EXPECT_EQ(number(field[5]), at_least_if[k]);
    // Of no draws, the share is written as none.
    if (plain.draws_if == 0) {
      EXPECT_EQ(field[6], "0.000000");
    } else {
      expect_share(field[6], at_least_if[k], plain.draws_if, 6);
    }
  }
}

void expect_json(const std::vector<std::string>& lines, const std::vector<RowMask>& rows, Lottery lottery,
                 const std::optional<DrawCondition>& condition, const Plain& plain) {
  ASSERT_EQ(lines.size(), 1U);
  const nlohmann::json object = nlohmann::json::parse(lines[0]);
  const auto reached = std::find_if(plain.best.begin(), plain.best.end(), [](std::uint64_t n) { return n > 0; });
  nlohmann::json expected = {
      {"rows", rows.size()},
      {"numbers", lottery.numbers},
      {"length", lottery.length},
      {"draws", plain.draws},
      {"best", plain.best},
      {"at_least", plain_at_least(plain.best)},
      {"guaranteed", reached - plain.best.begin()},
      {"balance", plain.balance},
  };
  if (condition) {
    expected["if"] = {{"pool", row_of(condition->pool)},
                      {"if_drawn", condition->if_drawn},
                      {"draws", plain.draws_if},
                      {"best", plain.best_if},
                      {"at_least", plain_at_least(plain.best_if)}};
  }
  EXPECT_EQ(object, expected) << lines[0];
}

// Rows of random numbers from 1 to `from`: from few numbers they share more,
// and leave some draws certain and some k never reached.
std::vector<RowMask> random_rows(std::mt19937_64& random, Lottery lottery, int from, std::size_t count) {
  std::vector<RowMask> rows;
  while (rows.size() < count) {
    RowMask row = 0;
    while (std::popcount(row) < lottery.length) row |= number_bit(std::uniform_int_distribution<int>(1, from)(random));
    rows.push_back(row);
  }
  return rows;
}

TEST(OddsReport, EveryFigureOfEveryFormatIsThatOfEveryDrawCountedHere) {
  constexpr Lottery kLotteries[] = {{10, 4}, {12, 5}, {9, 3}, {8, 2}, {14, 6}};
  std::mt19937_64 random(20261231);
  // What the draws come to, over all trials: each kind of figure must come up.
  bool never = false;
  bool certain = false;
  bool between = false;
  bool no_draw_meets_the_condition = false;
  for (int trial = 0; trial < 60; ++trial) {
    const Lottery lottery = kLotteries[static_cast<std::size_t>(trial) % std::size(kLotteries)];
    const int from = std::uniform_int_distribution<int>(lottery.length, lottery.numbers)(random);
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, trial % 4 == 0 ? 60 : 8)(random);
    const std::vector<RowMask> rows = random_rows(random, lottery, from, count);
    std::optional<DrawCondition> condition;
    if (trial % 3 != 0) {
      condition =
          DrawCondition{random() & all_numbers(lottery), std::uniform_int_distribution<int>(1, lottery.length)(random)};
    }
    const Plain plain = plain_count(rows, lottery, condition);
    const Odds odds = counted(rows, lottery, condition);
    SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << rows.size() << " rows of " << lottery.length
                                    << " from " << lottery.numbers);

    expect_text(written(write_odds_text, odds), rows, lottery, condition, plain);
    expect_csv(written(write_odds_csv, odds), condition, plain);
    expect_json(written(write_odds_json, odds), rows, lottery, condition, plain);

    // Every draw has 0 right or more: certain from 1 right on.
    const std::vector<std::uint64_t> at_least = plain_at_least(plain.best);
    for (std::size_t k = 1; k < at_least.size(); ++k) {
      never |= at_least[k] == 0;
      certain |= at_least[k] == plain.draws;
      between |= at_least[k] != 0 && at_least[k] != plain.draws;
    }
    no_draw_meets_the_condition |= condition && plain.draws_if == 0;
  }
  EXPECT_TRUE(never && certain && between && no_draw_meets_the_condition);
}

}  // namespace
}  // namespace rivit
