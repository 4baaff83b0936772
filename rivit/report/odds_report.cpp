#include "rivit/report/odds_report.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "rivit/pool.h"
#include "rivit/report/figures.h"

namespace rivit {

namespace {

constexpr std::size_t kNumbersALine = 10;

// at_least[k]: the draws whose best row has k or more right.
std::vector<std::uint64_t> at_least(const std::vector<std::uint64_t>& best) {
  std::vector<std::uint64_t> counts(best.size() + 1, 0);
  for (std::size_t k = best.size(); k-- > 0;) counts[k] = counts[k + 1] + best[k];
  counts.pop_back();
  return counts;
}

// The numbers (1-based) held by `rows` rows, as "3, 17".
std::string numbers_held_by(const std::vector<std::size_t>& balance, std::size_t rows) {
  std::string numbers;
  for (std::size_t i = 0; i < balance.size(); ++i) {
    if (balance[i] == rows) numbers += (numbers.empty() ? "" : ", ") + std::to_string(i + 1);
  }
  return numbers;
}

void write_balance_text(const std::vector<std::size_t>& balance, rt::LineSink& out) {
  const auto [least, most] = std::minmax_element(balance.begin(), balance.end());
  out.WriteLine("least used: " + numbers_held_by(balance, *least) + " (" + std::to_string(*least) + " rows)");
  out.WriteLine("most used: " + numbers_held_by(balance, *most) + " (" + std::to_string(*most) + " rows)");
  out.WriteLine("rows holding each number:");
  std::string line;
  for (std::size_t i = 0; i < balance.size(); ++i) {
    line += printed("%s%2zu:%5zu", line.empty() ? "" : "  ", i + 1, balance[i]);
    if ((i + 1) % kNumbersALine == 0 || i + 1 == balance.size()) {
      out.WriteLine(line);
      line.clear();
    }
  }
}

// The table of draws by their best row's count right, and the shares of
// `draws`.
void write_table_text(const std::vector<std::uint64_t>& best, std::uint64_t draws, rt::LineSink& out) {
  out.WriteLine("right        exactly        at least  share at least  odds");
  const std::vector<std::uint64_t> counts = at_least(best);
  for (std::size_t k = 0; k < best.size(); ++k) {
    out.WriteLine(printed("%5zu  %13llu  %14llu  %12.6f %%  %s", k, static_cast<unsigned long long>(best[k]),
                          static_cast<unsigned long long>(counts[k]), percent(counts[k], draws),
                          one_in(counts[k], draws).c_str()));
  }
}

}  // namespace

void write_odds_text(const Odds& odds, rt::LineSink& out) {
  out.WriteLine("rows: " + std::to_string(odds.rows));
  out.WriteLine(printed("draws: %llu, each %d numbers from 1 to %d", static_cast<unsigned long long>(odds.draws),
                        odds.lottery.length, odds.lottery.numbers));
  write_table_text(odds.best, odds.draws, out);
  out.WriteLine("guaranteed: " + std::to_string(odds.guaranteed));
  if (odds.condition) {
    // The pool's own text may be long: it goes apart from the fixed-size line.
    out.WriteLine(printed("if at least %d of the pool's %d numbers are drawn (", odds.condition->if_drawn,
                          std::popcount(odds.condition->pool)) +
                  pool_text(odds.condition->pool) +
                  printed("): %llu draws, %.6f %% of all", static_cast<unsigned long long>(odds.draws_if),
                          percent(odds.draws_if, odds.draws)));
    if (odds.draws_if != 0) write_table_text(odds.best_if, odds.draws_if, out);
  }
  write_balance_text(odds.balance, out);
}

// With a condition, its columns follow: the draws that meet it.
void write_odds_csv(const Odds& odds, rt::LineSink& out) {
  out.WriteLine(std::string("right,exactly,at_least,percent_at_least") +
                (odds.condition ? ",exactly_if,at_least_if,percent_at_least_if" : ""));
  const std::vector<std::uint64_t> counts = at_least(odds.best);
  const std::vector<std::uint64_t> counts_if = at_least(odds.best_if);
  for (std::size_t k = 0; k < odds.best.size(); ++k) {
    std::string line = printed("%zu,%llu,%llu,%.6f", k, static_cast<unsigned long long>(odds.best[k]),
                               static_cast<unsigned long long>(counts[k]), percent(counts[k], odds.draws));
    if (odds.condition) {
      line += printed(",%llu,%llu,%.6f", static_cast<unsigned long long>(odds.best_if[k]),
                      static_cast<unsigned long long>(counts_if[k]),
                      odds.draws_if == 0 ? 0.0 : percent(counts_if[k], odds.draws_if));
    }
    out.WriteLine(line);
  }
}

void write_odds_json(const Odds& odds, rt::LineSink& out) {
  nlohmann::json object = {
      {"rows", odds.rows},
      {"numbers", odds.lottery.numbers},
      {"length", odds.lottery.length},
      {"draws", odds.draws},
      {"best", odds.best},
      {"at_least", at_least(odds.best)},
      {"guaranteed", odds.guaranteed},
      {"balance", odds.balance},
  };
  if (odds.condition) {
    object["if"] = {{"pool", row_of(odds.condition->pool)},
                    {"if_drawn", odds.condition->if_drawn},
                    {"draws", odds.draws_if},
                    {"best", odds.best_if},
                    {"at_least", at_least(odds.best_if)}};
  }
  out.WriteLine(object.dump());
}

}  // namespace rivit
