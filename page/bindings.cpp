// The companion's library as the page's worker sees it (embind). Thin on
// purpose: every decision, text and format is the library's; this file only
// turns JavaScript values into the library's types and back.
//
// Numbers that may pass 2^53 cross as text: a seed is a decimal string, and a
// row is an array of its numbers rather than its mask. Counts of draws and
// steps stay below 2^53 for every lottery within the limits, so they cross as
// JavaScript numbers, exactly.
//
// REQUIRES of every caller: a lottery within_limits (lotteryProblem says
// whether it is), rows of that lottery, and a row count of 1 to kMostRows.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/check.h"
#include "rivit/format.h"
#include "rivit/lottery.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/read.h"
#include "rivit/run.h"
#include "runtime/output.h"

namespace {

using emscripten::val;

rivit::Lottery lottery_of(int numbers, int length) { return rivit::Lottery{.numbers = numbers, .length = length}; }

// A decimal seed, or nothing when the text is not one from 0 to 2^64 - 1.
std::optional<std::uint64_t> seed_of(const std::string& text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return seed;
}

val array_of(const std::vector<std::string>& lines) {
  val array = val::array();
  for (const std::string& line : lines) array.call<void>("push", line);
  return array;
}

val rows_value(std::span<const rivit::Row> rows) {
  val array = val::array();
  for (const rivit::Row& row : rows) array.call<void>("push", val::array(row));
  return array;
}

std::vector<rivit::Row> rows_of(const val& rows) {
  std::vector<rivit::Row> result;
  const auto count = rows["length"].as<std::size_t>();
  result.reserve(count);
  for (std::size_t i = 0; i < count; ++i) result.push_back(emscripten::vecFromJSArray<int>(rows[i]));
  return result;
}

std::vector<rivit::RowMask> masks_of(std::span<const rivit::Row> rows) {
  std::vector<rivit::RowMask> masks;
  masks.reserve(rows.size());
  for (const rivit::Row& row : rows) masks.push_back(rivit::mask_of(row));
  return masks;
}

// One entry of the output formats table: the name and the lines it writes,
// joined as the command writes them, each ended by a line feed.
template <typename Write>
val outputs(Write write) {
  val result = val::object();
  for (const rivit::OutputFormat& format : rivit::kOutputFormats) {
    rt::LineCollector lines;
    write(format, lines);
    std::string text;
    for (const std::string& line : lines.lines) text.append(line).push_back('\n');
    result.set(std::string(format.name), text);
  }
  return result;
}

val rows_outputs(std::span<const rivit::Row> rows, bool sorted) {
  return outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_rows(rows, sorted, out); });
}

val error_value(const std::string& message) {
  val result = val::object();
  result.set("error", message);
  return result;
}

val limits() {
  val result = val::object();
  result.set("shortestRow", rivit::kShortestRow);
  result.set("longestRow", rivit::kLongestRow);
  result.set("mostNumbers", rivit::kMostNumbers);
  result.set("mostRows", static_cast<double>(rivit::kMostRows));
  result.set("programNumbers", rivit::kProgramLottery.numbers);
  result.set("programLength", rivit::kProgramLottery.length);
  result.set("phases", rivit::kPhases);
  return result;
}

// What is wrong with the lottery, in the library's words; empty when nothing.
std::string lottery_problem(int numbers, int length) {
  return rivit::lottery_problem(lottery_of(numbers, length)).value_or("");
}

bool draws_within_reach(int numbers, int length) { return rivit::draws_within_reach(lottery_of(numbers, length)); }

val run(const std::string& seed_text, int phase, bool sorted) {
  const std::optional<std::uint64_t> seed = seed_of(seed_text);
  if (!seed) return error_value("not a seed: " + seed_text);
  const rivit::Run recorded = rivit::record_run(*seed);
  const std::span<const rivit::Row> rows = recorded.rows_of_phase(phase);
  val result = val::object();
  result.set("reportLines", array_of(recorded.report_lines));
  result.set("rows", rows_value(rows));
  result.set("outputs", rows_outputs(rows, sorted));
  return result;
}

val check(int numbers, int length, const std::string& text, bool sorted) {
  const rivit::ReadRows read = rivit::read_rows(text, lottery_of(numbers, length));
  val result = val::object();
  if (read.bad) {
    val bad = val::object();
    bad.set("line", static_cast<double>(read.bad->line));
    bad.set("message", rivit::line_message(*read.bad));
    result.set("bad", bad);
    return result;
  }
  const rivit::RowsCheck checked = rivit::check_of(read);
  result.set("rows", rows_value(read.rows));
  result.set("outputs", rows_outputs(read.rows, sorted));
  result.set("check",
             outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_check(checked, out); }));
  return result;
}

val rows_outputs_of(const val& rows, bool sorted) { return rows_outputs(rows_of(rows), sorted); }

// A row's numbers in ascending order, as the search keeps them.
val found_value(const rivit::FoundRows& found) {
  std::vector<rivit::Row> rows;
  rows.reserve(found.rows.size());
  for (const rivit::RowMask mask : found.rows) rows.push_back(rivit::row_of(mask));
  val score = val::object();
  score.set("largestShared", found.score.largest_shared);
  score.set("pairsAtLargest", static_cast<double>(found.score.pairs_at_largest));
  score.set("usageRange", found.score.usage_range);
  val result = val::object();
  result.set("rows", rows_value(rows));
  result.set("score", score);
  result.set("stepsTaken", static_cast<double>(found.steps_taken));
  result.set("provenBest", found.proven_best);
  return result;
}

rivit::FoundRows found_of(const val& value) {
  const std::vector<rivit::Row> rows = rows_of(value["rows"]);
  const val score = value["score"];
  return rivit::FoundRows{
      .rows = masks_of(rows),
      .score = {.largest_shared = score["largestShared"].as<int>(),
                .pairs_at_largest = static_cast<std::uint64_t>(score["pairsAtLargest"].as<double>()),
                .usage_range = score["usageRange"].as<int>()},
      .steps_taken = static_cast<std::uint64_t>(value["stepsTaken"].as<double>()),
      .proven_best = value["provenBest"].as<bool>()};
}

// 0 when the library keeps the first of two searches' results, 1 for the
// second.
int better_of(const val& first, const val& second) {
  const rivit::FoundRows a = found_of(first);
  const rivit::FoundRows b = found_of(second);
  return &rivit::better_of(a, b) == &a ? 0 : 1;
}

// What the rows kept are worth and what finding them took, as the command
// tells it.
std::string found_summary(const val& found, double seconds) {
  return rivit::found_rows_summary(found_of(found), seconds);
}

double default_steps(double rows) { return static_cast<double>(rivit::default_steps(static_cast<std::size_t>(rows))); }

// One of the two searches of a request for rows to play. `seconds` > 0
// searches by time instead of `steps`.
class RowsSearchJob {
 public:
  RowsSearchJob(int numbers, int length, double rows, const std::string& seed, double steps, double seconds, int which)
      : search_(request(numbers, length, rows, seed, steps, seconds), which) {}

  void advance(double steps, double elapsed) { search_.advance(static_cast<std::uint64_t>(steps), elapsed); }
  bool done() const { return search_.done(); }
  void cap(double steps) { search_.cap(static_cast<std::uint64_t>(steps)); }
  double steps_taken() const { return static_cast<double>(search_.steps_taken()); }
  val result() const { return found_value(search_.result()); }

 private:
  static rivit::RowSearch request(int numbers, int length, double rows, const std::string& seed, double steps,
                                  double seconds) {
    rivit::RowSearch request{.lottery = lottery_of(numbers, length),
                             .rows = static_cast<std::size_t>(rows),
                             .seed = seed_of(seed).value_or(0),
                             .steps = static_cast<std::uint64_t>(steps)};
    if (seconds > 0) request.seconds = seconds;
    return request;
  }

  rivit::RowsSearch search_;
};

// The count of the odds over the pieces that one worker is given.
class OddsJob {
 public:
  OddsJob(int numbers, int length, const val& rows)
      : masks_(masks_of(rows_of(rows))), count_(masks_, lottery_of(numbers, length)), counter_(count_) {}

  double draws_of(double piece) const { return static_cast<double>(count_.draws_of(static_cast<std::size_t>(piece))); }
  void count(double piece) { counter_.count(static_cast<std::size_t>(piece)); }
  val tally() const { return tally_value(counter_.tally()); }

 private:
  static val tally_value(const rivit::Tally& tally) {
    val array = val::array();
    for (const std::uint64_t draws : tally.best) array.call<void>("push", static_cast<double>(draws));
    return array;
  }

  std::vector<rivit::RowMask> masks_;
  rivit::OddsCount count_;
  rivit::OddsCount::Counter counter_;
};

// The draws of every piece of a count, for the page to share the pieces out.
val odds_pieces(int numbers, int length, const val& rows) {
  const std::vector<rivit::RowMask> masks = masks_of(rows_of(rows));
  const rivit::OddsCount count(masks, lottery_of(numbers, length));
  val draws = val::array();
  for (std::size_t i = 0; i < count.pieces(); ++i) draws.call<void>("push", static_cast<double>(count.draws_of(i)));
  return draws;
}

// The odds from the summed tallies of every piece, in each output format.
val odds_report(int numbers, int length, const val& rows, const val& tally) {
  const std::vector<rivit::RowMask> masks = masks_of(rows_of(rows));
  const rivit::OddsCount count(masks, lottery_of(numbers, length));
  rivit::Tally summed;
  for (const double draws : emscripten::vecFromJSArray<double>(tally))
    summed.best.push_back(static_cast<std::uint64_t>(draws));
  const rivit::Odds odds = count.odds(summed);
  return outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_odds(odds, out); });
}

}  // namespace

EMSCRIPTEN_BINDINGS(rivit) {
  emscripten::function("limits", &limits);
  emscripten::function("lotteryProblem", &lottery_problem);
  emscripten::function("drawsWithinReach", &draws_within_reach);
  emscripten::function("run", &run);
  emscripten::function("check", &check);
  emscripten::function("rowsOutputs", &rows_outputs_of);
  emscripten::function("betterOf", &better_of);
  emscripten::function("foundSummary", &found_summary);
  emscripten::function("defaultSteps", &default_steps);
  emscripten::function("oddsPieces", &odds_pieces);
  emscripten::function("oddsReport", &odds_report);
  emscripten::class_<RowsSearchJob>("RowsSearchJob")
      .constructor<int, int, double, const std::string&, double, double, int>()
      .function("advance", &RowsSearchJob::advance)
      .function("done", &RowsSearchJob::done)
      .function("cap", &RowsSearchJob::cap)
      .function("stepsTaken", &RowsSearchJob::steps_taken)
      .function("result", &RowsSearchJob::result);
  emscripten::class_<OddsJob>("OddsJob")
      .constructor<int, int, const val&>()
      .function("drawsOf", &OddsJob::draws_of)
      .function("count", &OddsJob::count)
      .function("tally", &OddsJob::tally);
}
