#include "cli/command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/progress.h"
#include "cli/schedule.h"
#include "cli/system.h"
#include "rivit/check.h"
#include "rivit/format.h"
#include "rivit/guarantee.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/pool.h"
#include "rivit/read.h"
#include "rivit/run.h"
#include "rivit/wheel.h"
#include "runtime/error.h"
#include "runtime/output.h"
#include "runtime/random.h"

namespace cli {

namespace {

using namespace rivit;  // NOLINT(google-build-using-namespace): the command is a front on the one library

// A failure of the command's own, with its exit status: it ends the command
// with one line on standard error.
struct Failure {
  std::string message;
  int status;
};

constexpr char kName[] = "erilaisetrivit-rivit";
constexpr char kStandardInput[] = "-";
constexpr double kLongestSearch = 7 * 24 * 3600.0;

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
  std::optional<std::string> pool_text;  // as written; `pool` once the lottery is known
  RowMask pool = 0;
  std::optional<int> right;     // --guarantee T
  std::optional<int> if_drawn;  // --if M

  Guarantee guarantee() const { return {right.value_or(0), if_drawn.value_or(right.value_or(0))}; }
};

// A wheel's status when its guarantee fails: a script reads it as it reads
// cmp's and grep's.
constexpr int kGuaranteeFailsStatus = 1;

// A seed written in decimal digits alone, which fits 64 bits.
std::uint64_t parse_seed(const std::string& text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size()) {
    throw CLI::ValidationError("--seed", "\"" + text + "\" is not an integer from 0 to 18446744073709551615");
  }
  return seed;
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

WheelRequest wheel_request(const Config& config) {
  return {config.lottery, config.pool, config.guarantee(), config.rows, config.seed.value_or(0)};
}

// The checks that need more than one option, in the library's words.
void check_together(const Config& config) {
  const Lottery lottery = config.lottery;
  if (const std::optional<std::string> problem = lottery_problem(lottery)) {
    throw CLI::ValidationError("--length", *problem);
  }
  const bool reads_rows = config.check || (config.odds && !config.odds->empty());
  if (!reads_rows && !config.rows && !config.wheel && lottery != kProgramLottery) {
    throw CLI::ValidationError("--numbers",
                               "the search's rows are 7 numbers from 1 to 40: --numbers and --length "
                               "go with --check, --odds FILE and --rows");
  }
  if (const std::optional<std::string> problem = config.odds ? odds_problem(lottery) : std::nullopt) {
    throw CLI::ValidationError("--odds", *problem);
  }
  if (const std::optional<std::string> problem =
          config.rows && !config.wheel ? rows_problem(lottery, *config.rows) : std::nullopt) {
    throw CLI::ValidationError("--rows", *problem);
  }
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
  if (config.pool_text && !config.right && !conditioned_odds) {
    throw CLI::ValidationError("--pool", "goes with --guarantee, or with --odds and --if");
  }
  if (config.wheel && !config.right) throw CLI::ValidationError("--wheel", "needs --guarantee T");
  config.pool = all_numbers(config.lottery);
  if (config.pool_text) {
    const ParsedPool parsed = parse_pool(*config.pool_text, config.lottery);
    if (!parsed.error.empty()) throw CLI::ValidationError("--pool", parsed.error);
    config.pool = parsed.pool;
  }
  if (conditioned_odds && (*config.if_drawn < 1 || *config.if_drawn > config.lottery.length)) {
    throw CLI::ValidationError("--if", "M is from 1 to " + std::to_string(config.lottery.length));
  }
  if (config.check && config.right) {
    if (const std::optional<std::string> problem = guarantee_problem(config.pool, config.lottery, config.guarantee())) {
      throw CLI::ValidationError("--guarantee", *problem);
    }
  }
  if (config.wheel) {
    if (const std::optional<std::string> problem = wheel_request_error(wheel_request(config))) {
      throw CLI::ValidationError("--wheel", *problem);
    }
  }
}

void add_options(CLI::App& app, Config& config) {
  app.set_version_flag("--version", std::string(kName) + " " + ERILAISETRIVIT_VERSION);
  CLI::Option* seed =
      app.add_option_function<std::string>(
             "--seed", [&config](const std::string& text) { config.seed = parse_seed(text); },
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
          ->type_name("N")
          ->check(CLI::Range(std::uint64_t{1}, std::uint64_t{1} << 48));
  CLI::Option* seconds = app.add_option("--time", config.seconds,
                                        "Search --rows or --wheel for SECONDS instead: better rows for more time, "
                                        "the same rows only on the same machine under the same load.")
                             ->type_name("SECONDS")
                             ->check(CLI::Range(0.001, kLongestSearch));
  app.add_option("--numbers", config.lottery.numbers, "The lottery's numbers run from 1 to N (default 40).")
      ->type_name("N");
  app.add_option("--length", config.lottery.length, "A row, and a draw, holds K numbers (default 7).")->type_name("K");
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
  wheel->excludes(phase)->excludes(counts)->excludes(check)->excludes(odds);
  counts->excludes(phase)->excludes(format)->excludes(sorted)->excludes(odds);
  check->excludes(seed)->excludes(phase)->excludes(sorted)->excludes(counts)->excludes(odds);
  rows->excludes(phase)->excludes(counts)->excludes(check);
  odds->excludes(sorted);
  steps->excludes(seconds);
  app.final_callback([&config, check, steps, seconds] {
    if (*check && !config.check) config.check = kStandardInput;
    if ((*steps || *seconds) && !config.rows && !config.wheel) {
      throw CLI::ValidationError("--steps", "--steps and --time go with --rows and --wheel");
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

// The rows of `file` (kStandardInput: standard input), read a line at a
// time up to the first bad line, so that the command stops reading there
// even where the input stays open.
ReadRows read_rows_of(const std::string& file, Lottery lottery) {
  const bool standard_input = file == kStandardInput;
  const std::string name = standard_input ? "standard input" : file;
  std::FILE* const opened = standard_input ? stdin : open_file(file, "rb");
  if (opened == nullptr) throw Failure{"cannot open " + file + ": " + std::strerror(errno), kUsageStatus};
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closed(standard_input ? nullptr : opened, std::fclose);
  RowsReader reader(lottery);
  std::string line;
  for (int c = 0; c != EOF;) {
    line.clear();
    while ((c = std::getc(opened)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if ((c == EOF && line.empty()) || !reader.take(line)) break;
  }
  if (std::ferror(opened) != 0) throw Failure{"cannot read " + name + ": " + std::strerror(errno), kUsageStatus};
  if (reader.read().bad) throw Failure{file_line_message(*reader.read().bad, name), kUsageStatus};
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
  const RowSearch request{config.lottery, *config.rows, seed_of(config),
                          config.steps.value_or(default_steps(*config.rows)), config.seconds};
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
  OddsOptions options;
  if (config.if_drawn) options.condition = DrawCondition{config.pool, *config.if_drawn};
  const OddsCount count(masks, config.lottery, options);
  const Odds odds = count.odds(count_pieces(count, progress));
  progress.Clear();
  config.format->write_odds(odds, standard_output());
}

// The rows of --wheel, with their summary on standard error.
std::vector<Row> wheel_rows(const Config& config) {
  ProgressLine progress;
  WheelRequest request = wheel_request(config);
  request.seed = seed_of(config);
  const FoundWheel found = search_wheel(request, config.steps, config.seconds, progress);
  progress.Clear();
  rt::WriteBytes(wheel_summary(found.wheel, request.guarantee, std::popcount(request.pool)) + "; " +
                 std::to_string(found.steps) + " steps, " + seconds_text(progress.Elapsed()) + "\n");
  std::vector<Row> rows(found.wheel.rows.size());
  std::transform(found.wheel.rows.begin(), found.wheel.rows.end(), rows.begin(), row_of);
  return rows;
}

// --check, and with --guarantee its check; the status says whether it holds.
int check_rows(const Config& config) {
  const ReadRows read = read_rows_of(*config.check, config.lottery);
  RowsCheck check = check_of(read);
  if (config.right) {
    std::vector<RowMask> masks(read.rows.size());
    std::transform(read.rows.begin(), read.rows.end(), masks.begin(), mask_of);
    ProgressLine progress;
    const GuaranteeCount count(masks, config.pool, config.guarantee());
    check.guarantee = count.check(count.pieces() ? count_pieces(*count.pieces(), progress) : Tally{});
  }
  config.format->write_check(check, standard_output());
  return check.guarantee && !check.guarantee->holds() ? kGuaranteeFailsStatus : 0;
}

int run(const Config& config) {
  if (config.check) return check_rows(config);
  if (config.odds && !config.odds->empty()) {
    write_odds(read_rows_of(*config.odds, config.lottery).rows, config);
    return 0;
  }
  std::vector<Row> rows;
  if (config.wheel) {
    rows = wheel_rows(config);
  } else if (config.rows) {
    rows = found_rows(config);
  } else {
    const Run run = record_run(seed_of(config));
    if (config.counts) {
      write_lines(run.report_lines);
      return 0;
    }
    const std::span<const Row> phase_rows = run.rows_of_phase(config.phase);
    rows.assign(phase_rows.begin(), phase_rows.end());
  }
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
