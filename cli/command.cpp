#include "cli/command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/game_command.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "cli/schedule.h"
#include "rivit/check.h"
#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/guarantee.h"
#include "rivit/jobs.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/pool.h"
#include "rivit/prizes.h"
#include "rivit/read.h"
#include "rivit/report/format.h"
#include "rivit/report/game_report.h"
#include "rivit/report/summary.h"
#include "rivit/request.h"
#include "rivit/run.h"
#include "rivit/wheel.h"
#include "runtime/error.h"
#include "runtime/output.h"
#include "runtime/random.h"

namespace cli {

namespace {

using namespace rivit;  // NOLINT(google-build-using-namespace): the command is a front on the one library

constexpr char kName[] = "erilaisetrivit-rivit";

// The command line, parsed once.
struct Config {
  std::optional<std::uint64_t> seed;  // nothing: a seed from the system
  int phase = kPhases;
  const OutputFormat* format = &kOutputFormats.front();
  bool sorted = false;
  bool counts = false;
  std::optional<std::string> check;  // the file to check, kStandardInput for standard input
  // The file whose rows to judge; empty: the rows the command would print.
  std::optional<std::string> odds;
  std::optional<std::size_t> rows;     // how many rows to find
  std::optional<std::uint64_t> steps;  // nothing: default_steps
  std::optional<double> seconds;
  Lottery lottery = kProgramLottery;
  bool wheel = false;
  std::optional<std::string> pool_text;  // as written
  std::optional<int> right;              // --guarantee T
  std::optional<int> if_drawn;           // --if M
  // The requests as the library reads them, once the lottery is known.
  std::optional<RowSearch> row_search;             // --rows, without --wheel
  std::optional<WheelRequest> wheel_request;       // --wheel
  std::optional<PoolGuarantee> checked_guarantee;  // --check --guarantee
  OddsOptions odds_options;                        // --odds, with --if its condition
  // Real games.
  bool list_games = false;
  std::optional<std::string> game_name;  // --game, as written
  std::optional<Game> game;              // the game, once the options are read
  std::optional<std::string> draw;
  std::optional<std::string> draws;
  std::vector<std::string> prizes;  // TIER=AMOUNT
  std::optional<std::string> price;
  bool system = false;
  bool describe = false;
  // A wheel of a game's pool, searched and checked as a lottery of its own.
  std::optional<RenumberedPool> renumbered;
};

// A wheel's status when its guarantee fails: a script reads it as it reads
// cmp's and grep's.
constexpr int kGuaranteeFailsStatus = 1;

// The request the library reads from the options, or its refusal as the
// command's one error line.
template <typename Request>
Request accepted(const Validated<Request>& validated) {
  if (!validated.accepted()) throw CLI::ValidationError(validated.refusal().field, validated.refusal().message);
  return validated.request();
}

const OutputFormat& parse_format(const std::string& name) {
  const OutputFormat* format = find_output_format(name);
  if (format == nullptr) throw CLI::ValidationError("--format", "\"" + name + "\" is no format");
  return *format;
}

std::string format_help() {
  std::string help;
  for (const OutputFormat& format : kOutputFormats) {
    help += std::string(help.empty() ? "" : "; ") + std::string(format.name) + ": " + std::string(format.description);
  }
  return help + " (default " + std::string(kOutputFormats.front().name) + ").";
}

// The rows to find, where --rows asks for them without --wheel. The seed
// is the command's own, read with the other options.
void read_row_search(Config& config) {
  if (!config.rows || config.wheel) return;
  config.row_search =
      accepted(row_search_of(config.lottery, {*config.rows, std::nullopt, config.steps, config.seconds}));
}

// The checks that need more than one option, in the library's words.
void check_together(Config& config) {
  const Lottery lottery = config.lottery;
  accepted(lottery_of(lottery.numbers, lottery.length));
  const bool reads_rows = config.check || (config.odds && !config.odds->empty());
  if (!reads_rows && !config.rows && !config.wheel) accepted(run_lottery_of(lottery));
  if (const std::optional<std::string> problem = config.odds ? odds_problem(lottery) : std::nullopt) {
    throw CLI::ValidationError("--odds", *problem);
  }
  read_row_search(config);
}

// The checks of a wheel's options, once the lottery is known.
void check_wheel(Config& config) {
  const bool conditioned_odds = config.odds && config.if_drawn && !config.right;
  if (config.right && !config.wheel && !config.check) {
    throw CLI::ValidationError("--guarantee", "goes with --wheel or --check");
  }
  if (config.if_drawn && !config.right && !config.odds) {
    throw CLI::ValidationError("--if", "goes with --guarantee, or with --odds for the draws that meet it");
  }
  // M without T has been refused but with --odds: a pool without T is refused unless the odds have M.
  const GuaranteeAsked guarantee{config.pool_text, config.right, config.if_drawn};
  if (std::optional<Refusal> refusal = lone_pool_refusal(guarantee)) {
    throw CLI::ValidationError(refusal->field, refusal->message);
  }
  // --wheel goes with neither --check nor --odds, and --check not with --odds: one request at most.
  if (conditioned_odds)
    config.odds_options = accepted(odds_request_of(config.lottery, config.pool_text, config.if_drawn));
  if (config.check && config.right) config.checked_guarantee = accepted(guarantee_check_of(config.lottery, guarantee));
  if (config.wheel) {
    // The seed is the command's own, read with the other options.
    config.wheel_request = accepted(
        wheel_request_of(config.lottery, {guarantee, config.rows, std::nullopt, config.steps, config.seconds}));
  }
}

void add_game_options(CLI::App& app, Config& config) {
  app.add_flag("--games", config.list_games, "List the games that --game knows by name, one a line.");
  app.add_option("--game", config.game_name,
                 "Play GAME: a name from --games (lotto, eurojackpot, powerball, ...), a short form (7/40+1: 7 of 40 "
                 "and 1 extra number; 5/50+2/12: a second drum; 20/70 --length 10: Keno), or a game file (JSON). "
                 "--odds then counts the odds of each prize tier, and --check with --draw what a draw gave.")
      ->type_name("GAME");
  app.add_option("--draw", config.draw,
                 "With --check and --game: the draw to check the lines against, the bonus numbers or the second "
                 "drum after +, as \"3 7 12 19 22 31 38 + 5\".")
      ->type_name("DRAW");
  app.add_option("--draws", config.draws,
                 "With --check and --game: a file of draws, one a line, each optionally after its date "
                 "(2026-12-05 3 7 12 19 22 31 38 + 5): what each gave, and the totals.")
      ->type_name("FILE");
  app.add_option("--prize", config.prizes,
                 "Set a tier's prize, TIER=AMOUNT (6+1=2500), for the expected return; repeatable.")
      ->type_name("TIER=AMOUNT")
      ->expected(1)
      ->take_all();
  app.add_option("--price", config.price, "The price of a line, for the cost and the return per unit spent.")
      ->type_name("AMOUNT");
  app.add_flag("--describe", config.describe,
               "With --game: write the game as a game file (JSON), to edit its prizes or keep its rules.");
  app.add_flag("--system", config.system,
               "Read a line of more numbers than the game's line as a system: every line it contains.");
}

// A wheel, or the check of a guarantee, in a game's main drum: the pool,
// which may hold numbers past 64, renumbered into a lottery of its own, so
// that the wheel is searched and checked as in any lottery.
void renumber_game_pool(Config& config) {
  const Game& game = *config.game;
  if (game.line != game.main.drawn || game.line > kLongestRow) {
    throw CLI::ValidationError("--guarantee", "wheels are of games whose line is as long as their draw, up to " +
                                                  std::to_string(kLongestRow) + " numbers");
  }
  const ParsedGamePool parsed = parse_game_pool(config.pool_text.value_or("1-" + std::to_string(game.main.numbers)),
                                                game.main.numbers, game.line);
  if (!parsed.error.empty()) throw CLI::ValidationError("--pool", parsed.error);
  config.renumbered.emplace(parsed.pool, game.line);
  config.lottery = config.renumbered->lottery();
  // The pool renumbered, written as the library reads a pool: where it is a
  // row, its lottery has one number more than it.
  config.pool_text = pool_text(config.renumbered->pool());
}

// The checks of the options for real games, and the game itself: --game, or
// the lottery of --numbers and --length where an option of games asks for
// one.
void check_game(Config& config, const CLI::Option& length) {
  const bool game_options = config.draw || config.draws || !config.prizes.empty() || config.price || config.system;
  if (!config.game_name && !game_options) return;
  if (config.draw && config.draws) throw CLI::ValidationError("--draw", "--draw and --draws go one at a time");
  if ((config.draw || config.draws) && !config.check) throw CLI::ValidationError("--draw", "goes with --check FILE");
  if (config.system && !config.check && !(config.odds && !config.odds->empty())) {
    throw CLI::ValidationError("--system", "goes with --check FILE or --odds FILE");
  }
  if ((!config.prizes.empty() || config.price) && !config.odds && !config.draw && !config.draws && !config.check) {
    throw CLI::ValidationError("--prize", "--prize and --price go with --odds, --check or --draw");
  }
  if (config.if_drawn && !config.right) {
    throw CLI::ValidationError("--if", "with --game, goes with --guarantee (--wheel, or --check)");
  }
  const std::string name = config.game_name
                               ? *config.game_name
                               : std::to_string(config.lottery.length) + "/" + std::to_string(config.lottery.numbers);
  try {
    config.game = game_of(name, config.game_name && length ? config.lottery.length : 0);
  } catch (const Failure& failure) {
    throw CLI::ValidationError("--game", failure.message);
  }
  for (const std::string& setting : config.prizes) {
    if (const std::optional<std::string> problem = set_prize(*config.game, setting)) {
      throw CLI::ValidationError("--prize", *problem);
    }
  }
  if (config.price) {
    config.game->price = accepted(price_of(*config.price));
  }
  if (!config.check && !config.odds && !config.describe && !config.wheel) {
    throw CLI::ValidationError("--game", "goes with --odds, --check, --wheel or --describe");
  }
  if (config.right) renumber_game_pool(config);
  const bool own_lines = config.odds && config.odds->empty();
  if (own_lines && (config.game->has_second() || config.game->main.numbers != kProgramLottery.numbers ||
                    config.game->line != kProgramLottery.length)) {
    throw CLI::ValidationError("--odds", "the search's rows are 7 numbers from 1 to 40: give the lines of " +
                                             config.game->name + " in a file, --odds FILE");
  }
}

void add_options(CLI::App& app, Config& config) {
  app.set_version_flag("--version", std::string(kName) + " " + ERILAISETRIVIT_VERSION);
  CLI::Option* seed =
      app.add_option_function<std::string>(
             "--seed", [&config](const std::string& text) { config.seed = accepted(seed_of(text)); },
             "Seed the search with N, 0 to 18446744073709551615: the same rows every time, on every system. "
             "Without it the seed comes from the operating system and is written to standard error as \"seed: N\".")
          ->type_name("N");
  CLI::Option* phase =
      app.add_option("--phase", config.phase,
                     "Print the rows stored by the end of phase K, 1 to 5 (default 5): no two of them share more "
                     "than K - 1 numbers.")
          ->type_name("K")
          ->check(CLI::Range(1, kPhases));
  CLI::Option* format =
      app.add_option_function<std::string>(
             "--format", [&config](const std::string& name) { config.format = &parse_format(name); }, format_help())
          ->type_name("FORMAT");
  CLI::Option* sorted = app.add_flag("--sorted", config.sorted, "Each row's numbers in ascending order.");
  CLI::Option* counts = app.add_flag("--counts", config.counts,
                                     "Print the five report lines that erilaisetrivit prints for the seed, instead "
                                     "of rows.");
  CLI::Option* check = app.add_flag("--check")->description(
      "Read rows from FILE, one a line (K distinct numbers from 1 to N, separated by spaces, commas or semicolons; "
      "blank lines and lines starting with # are skipped), and print the number of rows, the largest count "
      "of numbers that two rows share, and the lines of one such pair.");
  app.add_option("FILE", config.check, "The rows for --check; standard input when it is - or missing.")->needs(check);
  CLI::Option* odds =
      app.add_option("--odds", config.odds,
                     "Count, over every possible draw, the most numbers right that the best of the rows gives, and "
                     "how often each number is used. The rows are those of FILE (- for standard input), read as "
                     "--check reads them, or without FILE those the command would otherwise print.")
          ->type_name("[FILE]")
          ->expected(0, 1);
  CLI::Option* rows = app.add_option("--rows", config.rows,
                                     "Find M rows that share as few numbers as possible: the fewest shared by the "
                                     "closest two, then the fewest pairs that share that many, then the most even "
                                     "use of the numbers.")
                          ->type_name("M");
  CLI::Option* steps =
      app.add_option(
             "--steps", config.steps,
             "Search --rows for N steps in each of two searches (default " + std::to_string(kDefaultSteps) +
                 ", fewer for more than " + std::to_string(kDefaultStepsRows) +
                 " rows: about two seconds), or --wheel for N steps (default: about two seconds): the same rows "
                 "for the same seed on every system.")
          ->type_name("N");
  CLI::Option* seconds = app.add_option("--time", config.seconds,
                                        "Search --rows or --wheel for SECONDS instead: better rows for more time, "
                                        "the same rows only on the same machine under the same load.")
                             ->type_name("SECONDS");
  app.add_option("--numbers", config.lottery.numbers, "The lottery's numbers run from 1 to N (default 40).")
      ->type_name("N");
  CLI::Option* length =
      app.add_option("--length", config.lottery.length,
                     "A row, and a draw, holds K numbers (default 7). With --game, the main numbers of a line "
                     "where they differ from the draw (Keno's spots).")
          ->type_name("K");
  CLI::Option* wheel =
      app.add_flag("--wheel", config.wheel,
                   "Find the fewest rows of the pool that keep the guarantee (--guarantee T --if M): whenever at least "
                   "M of the drawn numbers are in the pool, some row has at least T right. With --rows B: B rows "
                   "that leave the fewest sets of M uncovered.");
  app.add_option("--pool", config.pool_text,
                 "The player's numbers, for --wheel, --check --guarantee and --odds --if: single numbers and ranges "
                 "such as 1-12 or 3,7,11,19,24,30 (default: every number of the lottery).")
      ->type_name("LIST");
  app.add_option("--guarantee", config.right,
                 "With --wheel, the guarantee to keep; with --check, the guarantee to check: at least T right ...")
      ->type_name("T");
  app.add_option("--if", config.if_drawn,
                 "... whenever at least M of the drawn numbers are in the pool (default M = T). With --odds and "
                 "--pool, the odds also over the draws that put at least M numbers in the pool.")
      ->type_name("M");
  add_game_options(app, config);
  wheel->excludes(phase)->excludes(counts)->excludes(check)->excludes(odds);
  counts->excludes(phase)->excludes(format)->excludes(sorted)->excludes(odds);
  check->excludes(seed)->excludes(phase)->excludes(sorted)->excludes(counts)->excludes(odds);
  rows->excludes(phase)->excludes(counts)->excludes(check);
  odds->excludes(sorted);
  steps->excludes(seconds);
  app.final_callback([&config, check, steps, seconds, length] {
    if (*check && !config.check) config.check = kStandardInput;
    if ((*steps || *seconds) && !config.rows && !config.wheel) {
      throw CLI::ValidationError("--steps", "--steps and --time go with --rows and --wheel");
    }
    check_game(config, *length);
    if (config.game && !config.renumbered) {
      if (config.odds) read_row_search(config);
      return;
    }
    check_together(config);
    check_wheel(config);
  });
}

// Standard output for every line the command writes.
rt::LineSink& standard_output() {
  static rt::StandardOutputSink sink;
  return sink;
}

void write_lines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) standard_output().WriteLine(line);
}

// The rows of `file` (kStandardInput: standard input), up to the first bad
// line.
ReadRows read_rows_of(const std::string& file, Lottery lottery) {
  RowsReader reader(lottery);
  read_input_lines(file, [&reader](std::string_view line) { return reader.take(line); });
  if (reader.read().bad) throw Failure{file_line_message(*reader.read().bad, input_name(file)), kUsageStatus};
  return reader.read();
}

std::uint64_t seed_of(const Config& config) {
  if (config.seed) return *config.seed;
  const std::uint64_t seed = rt::Random::OperatingSystemSeed();
  rt::WriteBytes("seed: " + std::to_string(seed) + "\n");
  return seed;
}

// The rows of --rows, with their summary on standard error.
std::vector<Row> found_rows(const Config& config) {
  ProgressLine progress;
  RowSearch request = *config.row_search;
  request.seed = seed_of(config);
  const FoundRows found = search_rows(request, progress);
  progress.Clear();
  rt::WriteBytes(found_rows_summary(found, progress.Elapsed()) + "\n");
  std::vector<Row> rows(found.rows.size());
  std::transform(found.rows.begin(), found.rows.end(), rows.begin(), row_of);
  return rows;
}

void write_odds(const std::vector<Row>& rows, const Config& config) {
  std::vector<RowMask> masks(rows.size());
  std::transform(rows.begin(), rows.end(), masks.begin(), mask_of);
  ProgressLine progress;
  const OddsCount count(masks, config.lottery, config.odds_options);
  const Odds odds = count.odds(count_pieces(count, progress));
  progress.Clear();
  config.format->write_odds(odds, standard_output());
}

// The rows of --wheel, with their summary on standard error.
std::vector<Row> wheel_rows(const Config& config) {
  ProgressLine progress;
  WheelRequest request = *config.wheel_request;
  request.seed = seed_of(config);
  WheelJob job(request, config.steps, config.seconds);
  search_wheel(job, progress);
  progress.Clear();
  rt::WriteBytes(wheel_search_summary(job.best(), request.guarantee, std::popcount(request.pool), job.steps_taken(),
                                      progress.Elapsed()) +
                 "\n");
  std::vector<Row> rows;
  for (const RowMask row : job.best().rows) {
    rows.push_back(config.renumbered ? config.renumbered->outside(row).numbers() : row_of(row));
  }
  return rows;
}

// The rows the command prints: a wheel's, those found, or a run's.
std::vector<Row> run_rows(const Config& config) {
  if (config.wheel) return wheel_rows(config);
  if (config.rows) return found_rows(config);
  const Run run = record_run(seed_of(config));
  const std::span<const Row> phase_rows = run.rows_of_phase(config.phase);
  return {phase_rows.begin(), phase_rows.end()};
}

// --check, and with --guarantee its check; the status says whether it holds.
int check_rows(const Config& config) {
  RowsCheck check;
  std::vector<RowMask> masks;  // the rows as the guarantee is counted: a game's renumbered to its pool
  if (config.renumbered) {
    // A wheel is of the main drum: its rows are main numbers alone.
    Game main_drum = *config.game;
    main_drum.second = {};
    const ReadLines read = read_game_lines(*config.check, main_drum, false);
    std::vector<NumberSet> mains;
    for (const GameLine& line : read.lines) {
      mains.push_back(line.main);
      masks.push_back(config.renumbered->inside(line.main));
    }
    check = check_of_lines(mains, read.line_numbers, config.game->main.numbers, config.game->line);
  } else {
    const ReadRows read = read_rows_of(*config.check, config.lottery);
    check = check_of(read);
    masks.resize(read.rows.size());
    std::transform(read.rows.begin(), read.rows.end(), masks.begin(), mask_of);
  }
  if (config.checked_guarantee) {
    ProgressLine progress;
    const GuaranteeCount count(masks, config.checked_guarantee->pool, config.checked_guarantee->guarantee);
    check.guarantee = count.check(count.pieces() ? count_pieces(*count.pieces(), progress) : Tally{});
    if (config.renumbered && check.guarantee->example) {
      check.guarantee->example = config.renumbered->outside(check.guarantee->example->row_mask());
    }
  }
  config.format->write_check(check, standard_output());
  return check.guarantee && !check.guarantee->holds() ? kGuaranteeFailsStatus : 0;
}

// The tier odds, draws and lines of a game.
int run_game_request(const Config& config) {
  GameRequest request{*config.game, config.format, config.system, config.check,
                      std::nullopt, config.draw,   config.draws,  std::nullopt};
  if (config.odds && !config.odds->empty()) {
    request.odds = config.odds;
  } else if (config.odds) {
    std::vector<GameLine> lines;
    for (const Row& row : run_rows(config)) lines.push_back({NumberSet::of_row_mask(mask_of(row)), {}});
    request.lines = lines;
  }
  return run_game(request, standard_output());
}

int run(const Config& config) {
  if (config.list_games) {
    write_games_text(built_in_games(), standard_output());
    return 0;
  }
  if (config.game && config.describe) {
    standard_output().WriteLine(game_file(*config.game));
    return 0;
  }
  if (config.game && !config.renumbered) return run_game_request(config);
  if (config.check) return check_rows(config);
  if (config.odds && !config.odds->empty()) {
    write_odds(read_rows_of(*config.odds, config.lottery).rows, config);
    return 0;
  }
  if (config.counts) {
    write_lines(record_run(seed_of(config)).report_lines);
    return 0;
  }
  const std::vector<Row> rows = run_rows(config);
  if (config.odds) {
    write_odds(rows, config);
  } else {
    config.format->write_rows(rows, config.sorted, standard_output());
  }
  return 0;
}

int fail(std::string_view message, int status) {
  rt::WriteBytes(std::string(kName) + ": " + std::string(message) + "\n");
  return status;
}

}  // namespace

int run_command(int argc, char** argv) {
  rt::SetBinaryOutput();
  CLI::App app(
      "Shows the rows that erilaisetrivit keeps, finds rows that share as few numbers as possible and wheels "
      "that guarantee a prize, checks any set of rows and counts its exact odds.",
      kName);
  Config config;
  add_options(app, config);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() != 0) return fail(error.what() + std::string(" (see --help)"), kUsageStatus);
    // --help and --version.
    app.exit(error);
    return std::cout.flush() ? 0 : fail("cannot write to standard output", rt::kOutputErrorStatus);
  }
  try {
    return run(config);
  } catch (const Failure& failure) {
    return fail(failure.message, failure.status);
  } catch (const rt::Error& error) {
    return fail(error.what(), error.status());
  } catch (const std::exception& error) {
    return fail(error.what(), rt::kRuntimeErrorStatus);
  }
}

}  // namespace cli
