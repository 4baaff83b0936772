#include "rivit/command.h"

#include <CLI/CLI.hpp>
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

#include "frame/os.h"
#include "rivit/check.h"
#include "rivit/format.h"
#include "rivit/read.h"
#include "rivit/run.h"
#include "runtime/error.h"
#include "runtime/output.h"
#include "runtime/random.h"

namespace rivit {

namespace {

constexpr char kName[] = "erilaisetrivit-rivit";
constexpr char kStandardInput[] = "-";

// The command line, parsed once.
struct Config {
  std::optional<std::uint64_t> seed;  // nothing: a seed from the system
  int phase = kPhases;
  const OutputFormat* format = &kOutputFormats.front();
  bool sorted = false;
  bool counts = false;
  std::optional<std::string> check;  // the file to check, kStandardInput for standard input
  Lottery lottery = kProgramLottery;
};

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

void add_options(CLI::App& app, Config& config) {
  app.set_version_flag("--version", std::string(kName) + " " + ERILAISETRIVIT_VERSION);
  CLI::Option* seed = app.add_option_function<std::string>(
                             "--seed", [&config](const std::string& text) { config.seed = parse_seed(text); },
                             "Seed the search with N, 0 to 18446744073709551615: the same rows every "
                             "time, on every system. Without it the seed comes from the operating "
                             "system and is written to standard error as \"seed: N\".")
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
      "Read rows from FILE, one a line (K distinct numbers from 1 to N, separated by spaces or commas; "
      "blank lines and lines starting with # are skipped), and print the number of rows, the largest "
      "count of numbers that two rows share, and the lines of one such pair.");
  app.add_option("FILE", config.check, "The rows for --check; standard input when it is - or missing.")->needs(check);
  app.add_option("--numbers", config.lottery.numbers, "The lottery's numbers run from 1 to N (default 40).")
      ->type_name("N")
      ->check(CLI::Range(kShortestRow + 1, kMostNumbers));
  app.add_option("--length", config.lottery.length, "A row, and a draw, holds K numbers (default 7).")
      ->type_name("K")
      ->check(CLI::Range(kShortestRow, kLongestRow));
  counts->excludes(phase)->excludes(format)->excludes(sorted);
  check->excludes(seed)->excludes(phase)->excludes(format)->excludes(sorted)->excludes(counts);
  app.final_callback([&config, check] {
    if (*check && !config.check) config.check = kStandardInput;
    if (!within_limits(config.lottery)) {
      throw CLI::ValidationError("--length", "a row of " + std::to_string(config.lottery.length) +
                                                 " numbers needs more numbers than " +
                                                 std::to_string(config.lottery.numbers));
    }
    if (!config.check && config.lottery != kProgramLottery) {
      throw CLI::ValidationError("--numbers",
                                 "the search's rows are 7 numbers from 1 to 40: --numbers and "
                                 "--length go with --check");
    }
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

ReadRows read_rows_of(const std::string& file, Lottery lottery) {
  if (file == kStandardInput) return read_rows(stdin, "standard input", lottery);
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> opened(std::fopen(file.c_str(), "rb"), std::fclose);
  if (!opened) throw InputError("cannot open " + file + ": " + std::strerror(errno));
  return read_rows(opened.get(), file, lottery);
}

void show_run(const Config& config) {
  std::uint64_t seed = 0;
  if (config.seed) {
    seed = *config.seed;
  } else {
    seed = rt::Random::OperatingSystemSeed();
    rt::WriteBytes("seed: " + std::to_string(seed) + "\n");
  }
  const Run run = record_run(seed);
  if (config.counts) {
    write_lines(run.report_lines);
  } else {
    config.format->write_rows(run.rows_of_phase(config.phase), config.sorted, standard_output());
  }
}

int fail(std::string_view message, int status) {
  rt::WriteBytes(std::string(kName) + ": " + std::string(message) + "\n");
  return status;
}

}  // namespace

int run_command(int argc, char** argv) {
  frame::os::set_binary_output();
  CLI::App app("Shows the rows that erilaisetrivit keeps, and checks any set of rows.", kName);
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
    if (config.check) {
      write_lines(check_report(read_rows_of(*config.check, config.lottery)));
    } else {
      show_run(config);
    }
  } catch (const InputError& error) {
    return fail(error.what(), kUsageStatus);
  } catch (const rt::Error& error) {
    return fail(error.what(), error.status());
  } catch (const std::exception& error) {
    return fail(error.what(), rt::kRuntimeErrorStatus);
  }
  return 0;
}

}  // namespace rivit
