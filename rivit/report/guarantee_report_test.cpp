// A guarantee's check and a wheel search's result as the fronts write them,
// read back and set against every m-set of the pool counted here
// (guarantee_cases.h): the check's line, columns and object, and the wheel's
// summary line.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "rivit/guarantee_cases.h"
#include "rivit/report/check_report.h"
#include "rivit/report/summary.h"

namespace rivit {
namespace {

// The numbers of a text such as " 1 4 7 9" as a mask.
RowMask mask_of_text(const std::string& text) {
  RowMask mask = 0;
  std::istringstream in(text);
  for (int n = 0; in >> n;) mask |= number_bit(n);
  return mask;
}

// The check as each format writes it, read back: the guarantee, the sets
// counted, those it fails for and the first of them, as the plain count has
// them.
void expect_check_written(const GuaranteeCheck& check, Guarantee guarantee, int v, const Plain& plain) {
  const RowsCheck rows_check{0, std::nullopt, check};
  rt::LineCollector text;
  write_check_text(rows_check, text);
  ASSERT_FALSE(text.lines.empty());
  std::smatch field;
  ASSERT_TRUE(
      std::regex_match(text.lines.back(), field,
                       std::regex("guarantee: ([0-9]+) if ([0-9]+) on ([0-9]+) numbers: "
                                  "(holds|fails for ([0-9]+) of ([0-9]+) sets of ([0-9]+), e\\.g\\.(( [0-9]+)+))")))
      << text.lines.back();
  EXPECT_EQ(std::stoi(field[1]), guarantee.right);
  EXPECT_EQ(std::stoi(field[2]), guarantee.if_drawn);
  EXPECT_EQ(std::stoi(field[3]), v);
  EXPECT_EQ(field[4] == "holds", plain.failing == 0) << field[4];
  if (plain.failing != 0) {
    EXPECT_EQ(std::stoull(field[5]), plain.failing);
    EXPECT_EQ(std::stoull(field[6]), plain.sets);
    EXPECT_EQ(std::stoi(field[7]), guarantee.if_drawn);
    EXPECT_EQ(mask_of_text(field[8]), plain.example);
  }

  rt::LineCollector csv;
  write_check_csv(rows_check, csv);
  ASSERT_EQ(csv.lines.size(), 2U);
  EXPECT_EQ(csv.lines[0],
            "rows,most_shared,first_line,second_line,right,if_drawn,pool_numbers,sets,failing_sets,example");
  std::vector<std::string> fields;
  std::istringstream line(csv.lines[1]);
  for (std::string f; std::getline(line, f, ',');) fields.push_back(f);
  if (csv.lines[1].back() == ',') fields.emplace_back();
  ASSERT_EQ(fields.size(), 10U) << csv.lines[1];
  EXPECT_EQ(fields[4], std::to_string(guarantee.right));
  EXPECT_EQ(fields[5], std::to_string(guarantee.if_drawn));
  EXPECT_EQ(fields[6], std::to_string(v));
  EXPECT_EQ(fields[7], std::to_string(plain.sets));
  EXPECT_EQ(fields[8], std::to_string(plain.failing));
  EXPECT_EQ(mask_of_text(fields[9]), plain.example.value_or(0)) << csv.lines[1];

  rt::LineCollector json;
  write_check_json(rows_check, json);
  ASSERT_EQ(json.lines.size(), 1U);
  const nlohmann::json object = nlohmann::json::parse(json.lines[0]).at("guarantee");
  const nlohmann::json expected = {{"right", guarantee.right},
                                   {"if_drawn", guarantee.if_drawn},
                                   {"pool_numbers", v},
                                   {"sets", plain.sets},
                                   {"failing_sets", plain.failing},
                                   {"holds", plain.failing == 0},
                                   {"example", plain.example ? nlohmann::json(row_of(*plain.example)) : nullptr}};
  EXPECT_EQ(object, expected) << json.lines[0];
}

TEST(GuaranteeReport, EveryFormatSaysWhatEverySetOfThePoolGave) {
  for (const GuaranteeCase& c : random_guarantee_cases(20261209, 600)) {
    const int v = std::popcount(c.pool);
    SCOPED_TRACE(testing::Message() << "trial " << c.trial << ": " << c.guarantee.right << " if "
                                    << c.guarantee.if_drawn << " on " << v << ", " << c.rows.size() << " rows of "
                                    << c.lottery.length);
    expect_check_written(check_guarantee(c.rows, c.pool, c.guarantee), c.guarantee, v, c.plain);
  }
}

// The wheel's summary read back: the rows, the sets they leave and the share
// covered to four places, the bound, and "(no fewer rows can do it)" exactly
// where nothing is left and the rows are as few as the bound.
void expect_summary(const std::string& summary, std::size_t rows, Guarantee guarantee, int v, const Plain& plain,
                    std::uint64_t bound) {
  std::smatch field;
  ASSERT_TRUE(std::regex_match(summary, field,
                               std::regex("rows: ([0-9]+), guarantee ([0-9]+) if ([0-9]+) on ([0-9]+) numbers"
                                          "( holds|: ([0-9]+) of ([0-9]+) sets of ([0-9]+) left uncovered, "
                                          "([0-9]+\\.[0-9]{4}) % covered), lower bound ([0-9]+)"
                                          "( \\(no fewer rows can do it\\))?")))
      << summary;
  EXPECT_EQ(std::stoull(field[1]), rows);
  EXPECT_EQ(std::stoi(field[2]), guarantee.right);
  EXPECT_EQ(std::stoi(field[3]), guarantee.if_drawn);
  EXPECT_EQ(std::stoi(field[4]), v);
  EXPECT_EQ(field[5] == " holds", plain.failing == 0) << summary;
  if (plain.failing != 0) {
    EXPECT_EQ(std::stoull(field[6]), plain.failing);
    EXPECT_EQ(std::stoull(field[7]), plain.sets);
    EXPECT_EQ(std::stoi(field[8]), guarantee.if_drawn);
    const double covered = 100.0 * static_cast<double>(plain.sets - plain.failing) / static_cast<double>(plain.sets);
    EXPECT_LE(std::abs(std::stod(field[9]) - covered), 0.00005 * 1.000001) << summary;
  }
  EXPECT_EQ(std::stoull(field[10]), bound);
  EXPECT_EQ(field[11].matched, plain.failing == 0 && rows == bound) << summary;
}

// Rows as a wheel search reports them, the sets they leave counted here:
// covers at the bound, above it and below it, budgets at the bound and below
// it that leave sets, and random rows of random guarantees, as many rows as
// the bound or about as many.
TEST(WheelSummary, SaysWhatTheRowsLeaveAndClaimsTheFewestOnlyWhenTrue) {
  struct Case {
    int v;
    Guarantee guarantee;
    std::vector<RowMask> rows;
  };
  // The Fano plane: every pair of 7 numbers in one of 7 rows of 3, as few as
  // Schönheim's bound allows.
  const std::vector<RowMask> fano = {mask_of({1, 2, 3}), mask_of({1, 4, 5}), mask_of({1, 6, 7}), mask_of({2, 4, 6}),
                                     mask_of({2, 5, 7}), mask_of({3, 4, 7}), mask_of({3, 5, 6})};
  std::vector<Case> cases = {
      {7, {2, 2}, fano},
      {7, {2, 2}, {fano.begin(), fano.end() - 1}},
      {7, {2, 2}, {fano[0], fano[1], fano[2], fano[3], fano[4], fano[5], fano[0]}},
      {7, {2, 2}, {fano[0], fano[1], fano[2], fano[3], fano[4], fano[5], fano[6], mask_of({1, 2, 4})}},
      {5, {3, 4}, {mask_of({1, 2, 3, 4, 5})}},
      {5,
       {4, 4},
       {mask_of({1, 2, 3, 4}), mask_of({1, 2, 3, 5}), mask_of({1, 2, 4, 5}), mask_of({1, 3, 4, 5}),
        mask_of({2, 3, 4, 5})}},
      {5, {4, 4}, {mask_of({1, 2, 3, 4}), mask_of({1, 2, 3, 5}), mask_of({1, 2, 4, 5}), mask_of({1, 3, 4, 5})}},
  };
  std::mt19937_64 random(20261230);
  while (cases.size() < 300) {
    const int v = std::uniform_int_distribution<int>(4, 9)(random);
    const int k = std::uniform_int_distribution<int>(2, std::min(v, 5))(random);
    const int m = std::uniform_int_distribution<int>(1, k)(random);
    const Guarantee guarantee{std::uniform_int_distribution<int>(1, m)(random), m};
    const auto bound = static_cast<int>(wheel_lower_bound(v, k, guarantee));
    const int rows = std::max(1, bound + std::uniform_int_distribution<int>(-1, 1)(random));
    Case c{v, guarantee, std::vector<RowMask>(static_cast<std::size_t>(rows), 0)};
    for (RowMask& row : c.rows) {
      while (std::popcount(row) < k) row |= number_bit(std::uniform_int_distribution<int>(1, v)(random));
    }
    cases.push_back(c);
  }
  bool claimed = false;
  bool covered_above = false;
  bool left_at_bound = false;
  for (const Case& c : cases) {
    std::vector<int> pool(static_cast<std::size_t>(c.v));
    for (int n = 1; n <= c.v; ++n) pool[static_cast<std::size_t>(n - 1)] = n;
    Plain plain;
    each_set(pool, 0, c.guarantee.if_drawn, 0, c.rows, c.guarantee.right, plain);
    const int k = std::popcount(c.rows.front());
    const std::uint64_t bound = wheel_lower_bound(c.v, k, c.guarantee);
    const WheelResult wheel{c.rows, plain.failing, plain.sets, bound, plain.failing == 0 && c.rows.size() == bound};
    const std::string summary = wheel_summary(wheel, c.guarantee, c.v);
    SCOPED_TRACE(summary);
    expect_summary(summary, c.rows.size(), c.guarantee, c.v, plain, bound);
    // The line beside the rows: the summary, then the steps and the time.
    const std::uint64_t steps = 64 * c.rows.size();
    const double seconds = 0.37 * c.v;
    const std::string line = wheel_search_summary(wheel, c.guarantee, c.v, steps, seconds);
    std::smatch tail;
    ASSERT_TRUE(std::regex_match(line, tail, std::regex("(.*); ([0-9]+) steps, ([0-9]+\\.[0-9]{2}) s"))) << line;
    EXPECT_EQ(tail[1], summary);
    EXPECT_EQ(std::stoull(tail[2]), steps);
    EXPECT_NEAR(std::stod(tail[3]), seconds, 0.005 * 1.000001);
    claimed |= plain.failing == 0 && c.rows.size() == bound;
    covered_above |= plain.failing == 0 && c.rows.size() > bound;
    left_at_bound |= plain.failing != 0 && c.rows.size() == bound;
  }
  EXPECT_TRUE(claimed && covered_above && left_at_bound);
}

}  // namespace
}  // namespace rivit
