#include "rivit/guarantee.h"

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

#include "rivit/check.h"

namespace rivit {
namespace {

// Every m-set of the pool, in increasing order, against every row.
struct Plain {
  std::uint64_t sets = 0;
  std::uint64_t failing = 0;
  std::optional<RowMask> example;
};

void each_set(const std::vector<int>& pool, std::size_t from, int left, RowMask set, const std::vector<RowMask>& rows,
              int right, Plain& plain) {
  if (left == 0) {
    ++plain.sets;
    for (const RowMask row : rows) {
      if (std::popcount(row & set) >= right) return;
    }
    ++plain.failing;
    if (!plain.example) plain.example = set;
    return;
  }
  for (std::size_t i = from; i + static_cast<std::size_t>(left) <= pool.size(); ++i) {
    each_set(pool, i + 1, left - 1, set | number_bit(pool[i]), rows, right, plain);
  }
}

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

TEST(GuaranteeCheck, AgreesWithEverySetOfThePoolAgainstEveryRow) {
  std::mt19937_64 random(20261209);
  for (int trial = 0; trial < 600; ++trial) {
    const int length = std::uniform_int_distribution<int>(2, 7)(random);
    const Lottery lottery{std::uniform_int_distribution<int>(length + 1, trial % 50 == 0 ? 64 : 20)(random), length};
    RowMask pool = 0;
    while (std::popcount(pool) < length)
      pool |= number_bit(std::uniform_int_distribution<int>(1, lottery.numbers)(random));
    if (trial % 4 == 0) pool = all_numbers(lottery);
    const int v = std::popcount(pool);
    const int if_drawn = std::uniform_int_distribution<int>(1, std::min(length, v))(random);
    const Guarantee guarantee{std::uniform_int_distribution<int>(1, if_drawn)(random), if_drawn};
    if (guarantee_problem(pool, lottery, guarantee)) continue;
    // Rows mostly of the pool, some reaching outside it.
    std::vector<RowMask> rows(std::uniform_int_distribution<std::size_t>(0, 12)(random));
    for (RowMask& row : rows) {
      const RowMask from = random() % 3 == 0 ? all_numbers(lottery) : pool;
      while (std::popcount(row) < length) {
        const RowMask n = number_bit(std::uniform_int_distribution<int>(1, lottery.numbers)(random));
        if ((n & from) != 0) row |= n;
      }
    }
    std::vector<int> numbers;
    for (int n = 1; n <= lottery.numbers; ++n) {
      if ((pool & number_bit(n)) != 0) numbers.push_back(n);
    }
    Plain plain;
    each_set(numbers, 0, if_drawn, 0, rows, guarantee.right, plain);

    SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << guarantee.right << " if " << if_drawn << " on " << v
                                    << ", " << rows.size() << " rows of " << length);
    const GuaranteeCheck check = check_guarantee(rows, pool, guarantee);
    EXPECT_EQ(check.pool_numbers, v);
    EXPECT_EQ(check.sets, plain.sets);
    EXPECT_EQ(check.failing, plain.failing);
    EXPECT_EQ(check.example, plain.example ? std::optional(NumberSet::of_row_mask(*plain.example)) : std::nullopt);
    EXPECT_EQ(check.holds(), plain.failing == 0);
    expect_check_written(check, guarantee, v, plain);
  }
}

TEST(GuaranteeCheck, RefusesWhatItCannotCheck) {
  const Lottery lottery{40, 7};
  const RowMask pool = all_numbers({12, 7});
  EXPECT_TRUE(guarantee_problem(pool, lottery, {0, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {4, 3}));
  EXPECT_TRUE(guarantee_problem(pool, lottery, {3, 8}));
  EXPECT_TRUE(guarantee_problem(all_numbers({5, 4}), lottery, {3, 6}));
  EXPECT_TRUE(guarantee_problem(all_numbers({64, 10}), {64, 10}, {5, 10}));
  EXPECT_FALSE(guarantee_problem(pool, lottery, {7, 7}));
}

// The wheel's line read back: the rows, the sets they leave and the share
// covered to four places, the bound, and "(no fewer rows can do it)" exactly
// where nothing is left and the rows are as few as the bound.
void expect_summary(const std::string& summary, std::size_t rows, Guarantee guarantee, int v, const Plain& plain,
                    std::uint64_t bound, std::uint64_t steps) {
  std::smatch field;
  ASSERT_TRUE(std::regex_match(summary, field,
                               std::regex("rows: ([0-9]+), guarantee ([0-9]+) if ([0-9]+) on ([0-9]+) numbers"
                                          "( holds|: ([0-9]+) of ([0-9]+) sets of ([0-9]+) left uncovered, "
                                          "([0-9]+\\.[0-9]{4}) % covered), lower bound ([0-9]+)"
                                          "( \\(no fewer rows can do it\\))?; ([0-9]+) steps, [0-9]+\\.[0-9]{2} s")))
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
  EXPECT_EQ(std::stoull(field[12]), steps);
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
    const std::uint64_t steps = 1000 * c.rows.size();
    const std::string summary = wheel_summary(wheel, c.guarantee, c.v, steps, 0.25);
    SCOPED_TRACE(summary);
    expect_summary(summary, c.rows.size(), c.guarantee, c.v, plain, bound, steps);
    claimed |= plain.failing == 0 && c.rows.size() == bound;
    covered_above |= plain.failing == 0 && c.rows.size() > bound;
    left_at_bound |= plain.failing != 0 && c.rows.size() == bound;
  }
  EXPECT_TRUE(claimed && covered_above && left_at_bound);
}

}  // namespace
}  // namespace rivit
