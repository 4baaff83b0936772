// Writing rows, their odds (odds_report.h) and their checks (check_report.h), for people and for other
// programs, one line at a time, in one of the output formats of
// kOutputFormats. Rows:
//   text  "4 17 23 1 38 9 30", the numbers separated by single spaces;
//   csv   the header "n1,...,nK", then "4,17,23,1,38,9,30";
//   json  an array of arrays of numbers, one row a line between "[" and "]".
// The numbers keep the row's order unless they are asked for sorted. Each
// format is one entry of the table, which the command's options read too.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_FORMAT_H_
#define ERILAISETRIVIT_RIVIT_REPORT_FORMAT_H_

#include <span>
#include <string>
#include <string_view>

#include "rivit/check.h"
#include "rivit/game_results.h"
#include "rivit/lottery.h"
#include "rivit/odds.h"
#include "runtime/output.h"

namespace rivit {

struct OutputFormat {
  std::string_view name;
  std::string_view description;  // for --help
  // REQUIRES: every row has the same number of numbers.
  void (*write_rows)(std::span<const Row> rows, bool sorted, rt::LineSink& out);
  // The odds of a set of rows (odds_report.h).
  void (*write_odds)(const Odds& odds, rt::LineSink& out);
  // The check of a set of rows (check_report.h).
  void (*write_check)(const RowsCheck& check, rt::LineSink& out);
  // A game's tier odds, what draws gave, and lines counted (game_report.h).
  void (*write_game_odds)(const GameOdds& odds, rt::LineSink& out);
  void (*write_draws_check)(const DrawsCheck& check, rt::LineSink& out);
  void (*write_lines_count)(const LinesCount& count, rt::LineSink& out);
};

// The formats, the default first.
extern const std::span<const OutputFormat> kOutputFormats;

// The format named `name`, or nullptr.
const OutputFormat* find_output_format(std::string_view name);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_FORMAT_H_
