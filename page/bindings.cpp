// The companion's library as the page's worker sees it (embind). Thin on
// purpose: every decision, text and format is the library's; this file only
// turns JavaScript values into the library's types and back.
//
// Numbers that may pass 2^53 cross as text: a seed is a decimal string, and a
// row is an array of its numbers rather than its mask. Counts of draws and
// steps stay below 2^53 for every lottery within the limits, so they cross as
// JavaScript numbers, exactly.
//
// A lottery crosses as one value, {numbers, length}, read by lottery_of
// alone. A request crosses as the player wrote it, {pool, right, ifDrawn,
// rows, seed, steps, seconds} as it has them (an empty text or null: not
// given), and the library reads it (rivit/request.h): rowsRequest,
// wheelRequest, guaranteeRequest and oddsRequest answer {refusal: {field,
// message}} in the library's words, the field named as the command's
// option, or what the request is once its defaults are applied.
//
// REQUIRES of every caller: a lottery within_limits (the game's
// oneDrumProblem says whether it is), rows of that lottery, and a request
// that the library accepted before it is made.
//
// A real game crosses as the request that names it, {name} (a built-in
// game or a short form) or {file} (a game file's text), with the prizes
// and price the player set ({prizes: ["6+1=2500"], price: "2"}), read again
// by the library on every call; a game's lines and draws cross as their
// text. Counts of outcomes cross as decimal text, exact past 2^53.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "rivit/check.h"
#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/game_results.h"
#include "rivit/guarantee.h"
#include "rivit/jobs.h"
#include "rivit/lottery.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/pool.h"
#include "rivit/prizes.h"
#include "rivit/read.h"
#include "rivit/report/format.h"
#include "rivit/report/summary.h"
#include "rivit/request.h"
#include "rivit/run.h"
#include "rivit/tier_odds.h"
#include "rivit/wheel.h"
#include "runtime/output.h"

namespace {

using emscripten::val;

rivit::Lottery lottery_of(int numbers, int length) { return rivit::Lottery{.numbers = numbers, .length = length}; }

// The lottery a request plays, {numbers, length}.
rivit::Lottery lottery_of(const val& lottery) {
  return lottery_of(lottery["numbers"].as<int>(), lottery["length"].as<int>());
}

// A value the player gave, or nothing for an empty text, null or a field
// that is not there.
std::optional<std::string> text_of(const val& value) {
  if (!value.isString() || value.as<std::string>().empty()) return std::nullopt;
  return value.as<std::string>();
}

std::optional<double> number_of(const val& value) {
  if (!value.isNumber()) return std::nullopt;
  return value.as<double>();
}

// T or M as the page's forms give them: whole numbers below 2^31 in size.
std::optional<int> whole_of(const val& value) {
  const std::optional<double> number = number_of(value);
  if (!number || !(*number > -0x1p31 && *number < 0x1p31)) return std::nullopt;
  return static_cast<int>(*number);
}

// A count of rows: one below 1 stays below it, for the library to refuse;
// one past the library's ranges stays past them.
std::optional<std::size_t> count_of_rows(const val& value) {
  constexpr double kPastEveryCount = static_cast<double>(std::max(rivit::kMostRows, rivit::kMostWheelRows)) + 1;
  const std::optional<double> rows = number_of(value);
  if (!rows) return std::nullopt;
  if (!(*rows >= 1)) return 0;
  return static_cast<std::size_t>(std::min(*rows, kPastEveryCount));
}

// The steps of a search, or its seconds, for the library to check: the
// page's forms leave a field empty for none (the default steps, a search by
// steps). Steps below 1 stay below it, and past 2^53 stay past the range.
std::optional<std::uint64_t> steps_of(const val& value) {
  const std::optional<double> steps = number_of(value);
  if (!steps) return std::nullopt;
  if (!(*steps >= 1)) return 0;
  return static_cast<std::uint64_t>(std::min(*steps, 0x1p53));
}

std::optional<double> seconds_of(const val& value) { return number_of(value); }

rivit::GuaranteeAsked guarantee_asked(const val& asked) {
  return {.pool = text_of(asked["pool"]), .right = whole_of(asked["right"]), .if_drawn = whole_of(asked["ifDrawn"])};
}

rivit::RowsAsked rows_asked(const val& asked) {
  return {.rows = count_of_rows(asked["rows"]).value_or(0),
          .seed = text_of(asked["seed"]),
          .steps = steps_of(asked["steps"]),
          .seconds = seconds_of(asked["seconds"])};
}

rivit::WheelAsked wheel_asked(const val& asked) {
  return {.guarantee = guarantee_asked(asked),
          .rows = count_of_rows(asked["rows"]),
          .seed = text_of(asked["seed"]),
          .steps = steps_of(asked["steps"]),
          .seconds = seconds_of(asked["seconds"])};
}

val refusal_value(const rivit::Refusal& refusal) {
  val value = val::object();
  value.set("field", refusal.field);
  value.set("message", refusal.message);
  val result = val::object();
  result.set("refusal", value);
  return result;
}

// The request the library reads from what the player wrote. REQUIRES: the
// library accepts it.
template <typename Request>
Request accepted(const rivit::Validated<Request>& validated) {
  return validated.request();
}

// What the library says of a request: {refusal}, or `describe(request)`.
template <typename Request, typename Describe>
val request_value(const rivit::Validated<Request>& validated, Describe describe) {
  return validated.accepted() ? describe(validated.request()) : refusal_value(validated.refusal());
}

val guarantee_value(const rivit::Guarantee& guarantee) {
  val result = val::object();
  result.set("right", guarantee.right);
  result.set("ifDrawn", guarantee.if_drawn);
  return result;
}

val rows_request(const val& lottery, const val& asked) {
  return request_value(rivit::row_search_of(lottery_of(lottery), rows_asked(asked)),
                       [](const rivit::RowSearch&) { return val::object(); });
}

val wheel_request_value(const val& lottery, const val& asked) {
  return request_value(rivit::wheel_request_of(lottery_of(lottery), wheel_asked(asked)),
                       [](const rivit::WheelRequest& request) { return guarantee_value(request.guarantee); });
}

val guarantee_request(const val& lottery, const val& asked) {
  return request_value(rivit::guarantee_check_of(lottery_of(lottery), guarantee_asked(asked)),
                       [](const rivit::PoolGuarantee& request) { return guarantee_value(request.guarantee); });
}

// The odds' options: with a condition {pool, ifDrawn} also the odds over the
// draws that meet it; null for none.
rivit::Validated<rivit::OddsOptions> odds_options_of(rivit::Lottery lottery, const val& condition) {
  const bool conditioned = !condition.isNull() && !condition.isUndefined();
  return rivit::odds_request_of(lottery, conditioned ? text_of(condition["pool"]) : std::nullopt,
                                conditioned ? whole_of(condition["ifDrawn"]) : std::nullopt);
}

val odds_request(const val& lottery, const val& condition) {
  return request_value(odds_options_of(lottery_of(lottery), condition),
                       [](const rivit::OddsOptions&) { return val::object(); });
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

// A run of the program for the seed written, in the lottery chosen;
// {refusal} where it is none or the lottery is not the run's.
val run(const val& lottery, const std::string& seed_text, int phase, bool sorted) {
  const rivit::Validated<std::uint64_t> seed = rivit::seed_of(seed_text);
  if (!seed.accepted()) return refusal_value(seed.refusal());
  const rivit::Validated<rivit::Lottery> run_lottery = rivit::run_lottery_of(lottery_of(lottery));
  if (!run_lottery.accepted()) return refusal_value(run_lottery.refusal());
  const rivit::Run recorded = rivit::record_run(seed.request());
  const std::span<const rivit::Row> rows = recorded.rows_of_phase(phase);
  val result = val::object();
  result.set("reportLines", array_of(recorded.report_lines));
  result.set("rows", rows_value(rows));
  result.set("outputs", rows_outputs(rows, sorted));
  return result;
}

val check(const val& lottery, const std::string& text, bool sorted) {
  const rivit::ReadRows read = rivit::read_rows(text, lottery_of(lottery));
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

// A request for rows to play. REQUIRES: the library accepts it.
rivit::RowSearch row_search(const val& lottery, const val& asked) {
  return accepted(rivit::row_search_of(lottery_of(lottery), rows_asked(asked)));
}

// One lane of the race of a request for rows to play, run in this worker;
// the other worker runs the other lane, and the page carries each lane's
// news to the other.
class RaceLaneJob {
 public:
  RaceLaneJob(const val& lottery, const val& asked, int which) : race_(row_search(lottery, asked)), which_(which) {}

  void advance(double elapsed) { race_.advance(which_, elapsed); }
  bool done() const { return race_.done(which_); }
  double share_done(double elapsed) const { return race_.share_done(which_, elapsed); }
  bool hear(const std::string& news) { return race_.hear(news); }
  std::string news() const { return race_.news(which_); }

 private:
  rivit::RowsRace race_;
  int which_;
};

// The rows kept of the race whose lanes told `news`, and the line the
// command writes beside them for a search of `took` seconds; null when the
// news is not of both lanes of this request.
val race_result(const val& lottery, const val& asked, const val& news, double took) {
  rivit::RowsRace race(row_search(lottery, asked));
  for (const std::string& lane : emscripten::vecFromJSArray<std::string>(news)) race.hear(lane);
  if (!race.done(0) || !race.done(1)) return val::null();
  const rivit::FoundRows found = race.result();
  val result = found_value(found);
  result.set("summary", rivit::found_rows_summary(found, took));
  return result;
}

// ---- wheels

// The wheel search of a request, in the slices the library hands the
// worker: for `steps` steps (the default for null), or for `seconds`
// (null: by steps). REQUIRES: the library accepts the request.
class WheelSearchJob {
 public:
  WheelSearchJob(const val& lottery, const val& asked, const val& steps, const val& seconds)
      : request_(accepted(rivit::wheel_request_of(lottery_of(lottery), wheel_asked(asked)))),
        job_(request_, steps_of(steps), seconds_of(seconds)) {}

  void advance(double elapsed) { job_.advance(elapsed); }
  bool done() const { return job_.done(); }
  double share_done(double elapsed) const { return job_.share_done(elapsed); }

  // The fewest rows found, each ascending, and the line the command writes
  // beside them for a search of `seconds`; the sets of the pool that they
  // leave uncovered of all, the lower bound and the pool's size apart, for
  // the page's sentences.
  val result(double seconds) const {
    const rivit::WheelResult& best = job_.best();
    std::vector<rivit::Row> rows;
    rows.reserve(best.rows.size());
    for (const rivit::RowMask mask : best.rows) rows.push_back(rivit::row_of(mask));
    val result = val::object();
    result.set("rows", rows_value(rows));
    result.set("summary", rivit::wheel_search_summary(best, request_.guarantee, std::popcount(request_.pool),
                                                      job_.steps_taken(), seconds));
    result.set("stepsTaken", static_cast<double>(job_.steps_taken()));
    result.set("proven", best.proven);
    result.set("uncovered", static_cast<double>(best.uncovered));
    result.set("sets", static_cast<double>(best.sets));
    result.set("lowerBound", static_cast<double>(best.lower_bound));
    result.set("poolNumbers", std::popcount(request_.pool));
    return result;
  }

 private:
  rivit::WheelRequest request_;
  rivit::WheelJob job_;
};

// ---- counts in pieces: the odds, and a guarantee's check

val counts_value(const std::vector<std::uint64_t>& counts) {
  val array = val::array();
  for (const std::uint64_t count : counts) array.call<void>("push", static_cast<double>(count));
  return array;
}

std::vector<std::uint64_t> counts_of(const val& counts) {
  std::vector<std::uint64_t> result;
  for (const double count : emscripten::vecFromJSArray<double>(counts)) {
    result.push_back(static_cast<std::uint64_t>(count));
  }
  return result;
}

val tally_value(const rivit::Tally& tally) {
  val result = val::object();
  result.set("best", counts_value(tally.best));
  result.set("bestIf", counts_value(tally.best_if));
  if (tally.first_below) {
    val first = val::object();
    first.set("piece", static_cast<double>(tally.first_below->piece));
    first.set("draw", val::array(rivit::row_of(tally.first_below->draw)));
    result.set("firstBelow", first);
  } else {
    result.set("firstBelow", val::null());
  }
  return result;
}

// The tallies of the workers summed by the library.
rivit::Tally summed(const val& tallies) {
  rivit::Tally sum;
  const auto count = tallies["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) {
    const val value = tallies[i];
    rivit::Tally tally{.best = counts_of(value["best"]), .best_if = counts_of(value["bestIf"]), .first_below = {}};
    const val first = value["firstBelow"];
    if (!first.isNull()) {
      tally.first_below = rivit::FirstDraw{.piece = static_cast<std::size_t>(first["piece"].as<double>()),
                                           .draw = rivit::mask_of(emscripten::vecFromJSArray<int>(first["draw"]))};
    }
    sum.add(tally);
  }
  return sum;
}

// The odds' options of a condition that the library accepts.
rivit::OddsOptions odds_options(rivit::Lottery lottery, const val& condition) {
  return accepted(odds_options_of(lottery, condition));
}

// The share of the count of the odds that worker `which` of `counters` is
// dealt, counted a piece at a time.
class OddsJob {
 public:
  OddsJob(const val& lottery, const val& rows, const val& condition, int counters, int which)
      : masks_(masks_of(rows_of(rows))),
        count_(masks_, lottery_of(lottery), odds_options(lottery_of(lottery), condition)),
        share_(count_, static_cast<std::size_t>(counters), static_cast<std::size_t>(which)) {}

  void advance() { share_.advance(); }
  bool done() const { return share_.done(); }
  double share_done() const { return share_.share_done(); }
  val tally() const { return tally_value(share_.tally()); }

 private:
  std::vector<rivit::RowMask> masks_;
  rivit::OddsCount count_;
  rivit::CountShare<rivit::OddsCount> share_;
};

// The odds from the tallies of every piece, in each output format.
val odds_report(const val& lottery, const val& rows, const val& condition, const val& tallies) {
  const std::vector<rivit::RowMask> masks = masks_of(rows_of(rows));
  const rivit::OddsCount count(masks, lottery_of(lottery), odds_options(lottery_of(lottery), condition));
  const rivit::Odds odds = count.odds(summed(tallies));
  return outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_odds(odds, out); });
}

// The count of the check of `rows` against the guarantee asked.
// REQUIRES: the library accepts the guarantee.
rivit::GuaranteeCount guarantee_count(std::span<const rivit::RowMask> rows, const val& lottery, const val& asked) {
  const rivit::PoolGuarantee checked = accepted(rivit::guarantee_check_of(lottery_of(lottery), guarantee_asked(asked)));
  return {rows, checked.pool, checked.guarantee};
}

// The share of a guarantee's check that worker `which` of `counters` is
// dealt, counted a piece at a time; nothing where the check needs no count.
// REQUIRES: the library accepts the guarantee asked.
class GuaranteeJob {
 public:
  GuaranteeJob(const val& lottery, const val& rows, const val& asked, int counters, int which)
      : count_(guarantee_count(masks_of(rows_of(rows)), lottery, asked)) {
    if (count_.pieces()) {
      share_.emplace(*count_.pieces(), static_cast<std::size_t>(counters), static_cast<std::size_t>(which));
    }
  }

  void advance() { share_->advance(); }
  bool done() const { return !share_ || share_->done(); }
  double share_done() const { return share_ ? share_->share_done() : 1; }
  val tally() const { return tally_value(share_ ? share_->tally() : rivit::Tally{}); }

 private:
  rivit::GuaranteeCount count_;
  std::optional<rivit::CountShare<rivit::OddsCount>> share_;
};

// The check of the rows of `text` with the guarantee's, from the tallies of
// every piece, in each output format. REQUIRES: rows that read, and a
// guarantee that the library accepts.
val check_guarantee(const val& lottery, const std::string& text, const val& asked, const val& tallies) {
  const rivit::ReadRows read = rivit::read_rows(text, lottery_of(lottery));
  rivit::RowsCheck checked = rivit::check_of(read);
  const rivit::GuaranteeCount count = guarantee_count(masks_of(read.rows), lottery, asked);
  checked.guarantee = count.check(summed(tallies));
  return outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_check(checked, out); });
}

// ---- real games: their rules, the tier odds of lines, what draws gave

// The game of a request, its prizes and price set as the command's --prize
// and --price set them; or what is wrong, in the library's words, and
// where: "game", "prize" (with the index of the prize) or "price".
struct RequestedGame {
  std::optional<rivit::Game> game;
  val error = val::null();
};

val game_error(const std::string& message, const std::string& where, int index = -1) {
  val error = val::object();
  error.set("message", message);
  error.set("at", where);
  if (index >= 0) error.set("index", index);
  return error;
}

RequestedGame requested_game(const val& request) {
  const val file = request["file"];
  rivit::ParsedGame parsed = file.isString() ? rivit::parse_game_file(file.as<std::string>())
                                             : rivit::parse_game(request["name"].as<std::string>());
  if (!parsed.game) return {std::nullopt, game_error(parsed.error, "game")};
  const val prizes = request["prizes"];
  const std::size_t count = prizes.isUndefined() ? 0 : prizes["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) {
    if (const std::optional<std::string> problem = rivit::set_prize(*parsed.game, prizes[i].as<std::string>())) {
      return {std::nullopt, game_error(*problem, "prize", static_cast<int>(i))};
    }
  }
  const val price = request["price"];
  if (price.isString() && !price.as<std::string>().empty()) {
    const rivit::Validated<rivit::Cents> amount = rivit::price_of(price.as<std::string>());
    if (!amount.accepted()) return {std::nullopt, game_error(amount.refusal().message, "price")};
    parsed.game->price = amount.request();
  }
  return {std::move(parsed.game), val::null()};
}

val amount_value(const std::optional<rivit::Cents>& amount) {
  return amount ? val(rivit::amount_text(*amount)) : val::null();
}

val drum_value(const rivit::Drum& drum) {
  val result = val::object();
  result.set("numbers", drum.numbers);
  result.set("drawn", drum.drawn);
  return result;
}

// The built-in games, in the order the command lists them.
val games() {
  val array = val::array();
  for (const rivit::Game& game : rivit::built_in_games()) {
    val entry = val::object();
    entry.set("name", game.name);
    entry.set("title", game.title);
    entry.set("shortForm", rivit::short_form(game));
    array.call<void>("push", entry);
  }
  return array;
}

// What the page needs of a game: its drums, line, price and tiers, and
// why its main drum is no lottery of one drum for rows, wheels and runs
// (empty when it is one).
val game_info(const val& request) {
  const RequestedGame requested = requested_game(request);
  val result = val::object();
  if (!requested.game) {
    result.set("error", requested.error);
    return result;
  }
  const rivit::Game& game = *requested.game;
  result.set("name", game.name);
  result.set("title", game.title);
  result.set("shortForm", rivit::short_form(game));
  result.set("main", drum_value(game.main));
  result.set("bonus", game.bonus);
  result.set("second", drum_value(game.second));
  result.set("line", game.line);
  result.set("price", amount_value(game.price));
  val tiers = val::array();
  for (const rivit::Tier& tier : game.tiers) {
    val entry = val::object();
    entry.set("name", tier.name);
    entry.set("prize", amount_value(tier.prize));
    tiers.call<void>("push", entry);
  }
  result.set("tiers", tiers);
  result.set("oneDrumProblem", lottery_problem(game.main.numbers, game.line));
  return result;
}

val bad_line_value(const rivit::BadLine& bad, const std::string& what) {
  val result = val::object();
  result.set("what", what);
  result.set("line", static_cast<double>(bad.line));
  result.set("message", rivit::line_message(bad));
  return result;
}

// The lines of `text` as a game's, or the first bad one.
struct RequestedLines {
  std::optional<rivit::Game> game;
  std::vector<rivit::GameLine> lines;
  val error = val::null();  // {at: "game" | "prize" | "price", message} or {what: "lines", line, message}
};

RequestedLines requested_lines(const val& request, const std::string& text) {
  RequestedGame requested = requested_game(request);
  if (!requested.game) return {std::nullopt, {}, requested.error};
  rivit::ReadLines read = rivit::read_lines(text, *requested.game);
  if (read.bad) return {std::nullopt, {}, bad_line_value(*read.bad, "lines")};
  return {std::move(requested.game), std::move(read.lines), val::null()};
}

std::string count_text(std::uint64_t count) { return std::to_string(count); }

std::uint64_t count_of(const val& text) { return std::stoull(text.as<std::string>()); }

// The work of every piece of the tier odds of the lines of `text` (none:
// nothing to count); {outOfReach} where they are not counted,
// or the error of the game or of a line.
val tier_pieces(const val& request, const std::string& text) {
  const RequestedLines requested = requested_lines(request, text);
  val result = val::object();
  if (!requested.game) {
    result.set("error", requested.error);
    return result;
  }
  const rivit::TierCount count(*requested.game, requested.lines);
  val work = val::array();
  if (const std::optional<std::string> problem = rivit::tier_odds_problem(count)) {
    result.set("outOfReach", *problem);
  } else {
    for (std::size_t i = 0; i < count.pieces(); ++i) work.call<void>("push", static_cast<double>(count.work_of(i)));
  }
  result.set("work", work);
  result.set("lines", static_cast<double>(requested.lines.size()));
  return result;
}

// The share of the count of the tier odds that worker `which` of
// `counters` is dealt, counted a piece at a time.
// REQUIRES: the request and text that tier_pieces counted in pieces.
class TierJob {
 public:
  TierJob(const val& request, const std::string& text, int counters, int which)
      : requested_(requested_lines(request, text)),
        count_(*requested_.game, requested_.lines),
        share_(count_, static_cast<std::size_t>(counters), static_cast<std::size_t>(which)) {}

  void advance() { share_.advance(); }
  bool done() const { return share_.done(); }
  double share_done() const { return share_.share_done(); }
  val tally() const {
    const rivit::TierTally& tally = share_.tally();
    val tiers = val::array();
    for (const std::uint64_t outcomes : tally.tiers) tiers.call<void>("push", count_text(outcomes));
    val result = val::object();
    result.set("tiers", tiers);
    result.set("none", count_text(tally.none));
    return result;
  }

 private:
  RequestedLines requested_;
  rivit::TierCount count_;
  rivit::CountShare<rivit::TierCount> share_;
};

// The tier odds of the lines of `text` from the tallies of every piece
// (none where they are out of reach), with the expected return, in each
// output format; and the expected prize of one line, `perLine`.
val game_odds(const val& request, const std::string& text, const val& tallies) {
  const RequestedLines requested = requested_lines(request, text);
  val result = val::object();
  if (!requested.game) {
    result.set("error", requested.error);
    return result;
  }
  const rivit::Game& game = *requested.game;
  const rivit::TierCount count(game, requested.lines);
  rivit::TierTally every_piece;
  if (!rivit::tier_odds_problem(count)) {
    const auto pieces = tallies["length"].as<std::size_t>();
    for (std::size_t i = 0; i < pieces; ++i) {
      rivit::TierTally tally;
      const val tiers = tallies[i]["tiers"];
      for (std::size_t t = 0; t < tiers["length"].as<std::size_t>(); ++t) tally.tiers.push_back(count_of(tiers[t]));
      tally.none = count_of(tallies[i]["none"]);
      every_piece.add(tally);
    }
  }
  const rivit::GameOdds odds = rivit::game_odds_of(game, requested.lines.size(), count, every_piece);
  result.set("outputs",
             outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) { format.write_game_odds(odds, out); }));
  const rivit::ExpectedReturn one = rivit::expected_return(game, odds.one_line, 1);
  result.set("perLine", one.priced == 0 ? val::null() : val(rivit::amount_text(one.per_draw)));
  return result;
}

val numbers_value(const rivit::NumberSet& set) { return val::array(set.numbers()); }

// Each line's numbers that a draw holds: its main numbers among the draw's,
// among its bonus numbers, and its second drum's among the draw's.
val hits_value(std::span<const rivit::GameLine> lines, const rivit::Draw& draw) {
  val array = val::array();
  for (const rivit::GameLine& line : lines) {
    val hits = val::object();
    hits.set("main", numbers_value(line.main & draw.main));
    hits.set("bonus", numbers_value(line.main & draw.bonus));
    hits.set("second", numbers_value(line.second & draw.second));
    array.call<void>("push", hits);
  }
  return array;
}

// The lines of `text` against one draw (`draw`, its text) or against each
// of a file of draws (`draws`, its text), as the command's --check with
// --draw or --draws: in each output format, and for one draw each line's
// hits.
val check_draws(const val& request, const std::string& text, const val& draw, const val& draws) {
  const RequestedLines requested = requested_lines(request, text);
  val result = val::object();
  if (!requested.game) {
    result.set("error", requested.error);
    return result;
  }
  const rivit::Game& game = *requested.game;
  rivit::ReadDraws draws_read;
  if (draw.isString()) {
    const rivit::ParsedDraw parsed = rivit::parse_draw(draw.as<std::string>(), game);
    if (!parsed.error.empty()) {
      val error = val::object();
      error.set("what", "draw");
      error.set("message", parsed.error);
      result.set("error", error);
      return result;
    }
    draws_read.draws.push_back(parsed.draw);
    draws_read.dates.push_back(parsed.date);
  } else {
    draws_read = rivit::read_draws(draws.as<std::string>(), game);
    if (draws_read.bad) {
      result.set("error", bad_line_value(*draws_read.bad, "draws"));
      return result;
    }
  }
  // The page's lines are read as lines, never as systems: each stands for itself.
  const rivit::DrawsCheck check =
      rivit::draws_check_of(game, requested.lines, std::move(draws_read.draws), std::move(draws_read.dates));
  result.set("outputs", outputs([&](const rivit::OutputFormat& format, rt::LineSink& out) {
               format.write_draws_check(check, out);
             }));
  if (check.draws.size() == 1) result.set("hits", hits_value(check.lines, check.draws.front()));
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(rivit) {
  emscripten::function("limits", &limits);
  emscripten::function("run", &run);
  emscripten::function("check", &check);
  emscripten::function("rowsOutputs", &rows_outputs_of);
  emscripten::function("raceResult", &race_result);
  emscripten::function("oddsReport", &odds_report);
  emscripten::function("rowsRequest", &rows_request);
  emscripten::function("wheelRequest", &wheel_request_value);
  emscripten::function("guaranteeRequest", &guarantee_request);
  emscripten::function("oddsRequest", &odds_request);
  emscripten::function("checkGuarantee", &check_guarantee);
  emscripten::function("games", &games);
  emscripten::function("gameInfo", &game_info);
  emscripten::function("tierPieces", &tier_pieces);
  emscripten::function("gameOdds", &game_odds);
  emscripten::function("checkDraws", &check_draws);
  emscripten::class_<RaceLaneJob>("RaceLaneJob")
      .constructor<const val&, const val&, int>()
      .function("advance", &RaceLaneJob::advance)
      .function("done", &RaceLaneJob::done)
      .function("shareDone", &RaceLaneJob::share_done)
      .function("hear", &RaceLaneJob::hear)
      .function("news", &RaceLaneJob::news);
  emscripten::class_<WheelSearchJob>("WheelSearchJob")
      .constructor<const val&, const val&, const val&, const val&>()
      .function("advance", &WheelSearchJob::advance)
      .function("done", &WheelSearchJob::done)
      .function("shareDone", &WheelSearchJob::share_done)
      .function("result", &WheelSearchJob::result);
  emscripten::class_<OddsJob>("OddsJob")
      .constructor<const val&, const val&, const val&, int, int>()
      .function("advance", &OddsJob::advance)
      .function("done", &OddsJob::done)
      .function("shareDone", &OddsJob::share_done)
      .function("tally", &OddsJob::tally);
  emscripten::class_<TierJob>("TierJob")
      .constructor<const val&, const std::string&, int, int>()
      .function("advance", &TierJob::advance)
      .function("done", &TierJob::done)
      .function("shareDone", &TierJob::share_done)
      .function("tally", &TierJob::tally);
  emscripten::class_<GuaranteeJob>("GuaranteeJob")
      .constructor<const val&, const val&, const val&, int, int>()
      .function("advance", &GuaranteeJob::advance)
      .function("done", &GuaranteeJob::done)
      .function("shareDone", &GuaranteeJob::share_done)
      .function("tally", &GuaranteeJob::tally);
}
