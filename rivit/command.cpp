#include "rivit/command.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/os.h"
#include "rivit/check.h"
#include "rivit/format.h"
#include "rivit/run.h"
#include "rivit/system.h"
#include "runtime/error.h"
#include "runtime/output.h"
#include "runtime/random.h"

namespace rivit {

namespace {

constexpr char kName[] = "erilaisetrivit-rivit";
constexpr char kStandardInput[] = "-";

struct Options {
  std::string seed;  // decimal digits, or empty for a seed from the system
  int phase = kPhases;
  std::string format = "text";
  bool sorted = false;
  bool counts = false;
  bool check = false;
  std::string file = kStandardInput;
};

// A seed written in decimal digits alone, which fits 64 bits.
std::optional<std::uint64_t> parse_seed(std::string_view text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return seed;
}

const std::map<std::string, Format, std::less<>> kFormats = {
    {"text", Format::kText}, {"csv", Format::kCsv}, {"json", Format::kJson}};

void add_options(CLI::App& app, Options& options) {
  app.set_version_flag("--version", std::string(kName) + " " + ERILAISETRIVIT_VERSION);
  const CLI::Validator seed_digits(
      [](const std::string& text) {
        return parse_seed(text) ? std::string() : "\"" + text + "\" is not an integer from 0 to 18446744073709551615";
      },
      "");
  CLI::Option* seed = app.add_option("--seed", options.seed,
                                     "Seed the search with N, an unsigned 64-bit integer: the same rows every "
                                     "time, on every system. Without it the seed comes from the operating system "
                                     "and is written to standard error as \"seed: N\".")
                          ->type_name("N")
                          ->check(seed_digits);
  CLI::Option* phase =
      app.add_option("--phase", options.phase,
                     "Print the rows stored by the end of phase K, 1 to 5 (default 5): no two of them share more "
                     "than K - 1 numbers.")
          ->type_name("K")
          ->check(CLI::Range(1, kPhases));
  CLI::Option* format = app.add_option("--format", options.format,
                                       "text (default): one row a line, the numbers separated by spaces; csv: with "
                                       "the header n1,...,n7; json: an array of arrays.")
                            ->type_name("FORMAT")
                            ->check(CLI::IsMember(kFormats));
  CLI::Option* sorted = app.add_flag("--sorted", options.sorted, "Each row's numbers in ascending order.");
  CLI::Option* counts = app.add_flag("--counts", options.counts,
                                     "Print the five report lines that erilaisetrivit prints for the seed, instead "
                                     "of rows.");
  CLI::Option* check = app.add_flag("--check", options.check,
                                    "Read rows from FILE, one a line (seven distinct numbers from 1 to 40, separated "
                                    "by spaces or commas; blank lines and lines starting with # are skipped), and "
                                    "print the number of rows, the largest count of numbers that two rows share, "
                                    "and the lines of one such pair.");
  app.add_option("FILE", options.file, "The rows for --check; standard input when it is - or missing.")
      ->needs(check);
  counts->excludes(phase)->excludes(format)->excludes(sorted);
  check->excludes(seed)->excludes(phase)->excludes(format)->excludes(sorted)->excludes(counts);
}

// Standard output for every line the command writes.
rt::LineSink& standard_output() {
  static rt::StandardOutputSink sink;
  return sink;
}

void write_lines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) standard_output().WriteLine(line);
}

void check_rows(const std::string& file) {
  if (file == kStandardInput) {
    write_lines(check_report(read_rows(stdin, "standard input")));
    return;
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> opened(open_file(file, "rb"), std::fclose);
  if (!opened) throw InputError("cannot open " + file + ": " + std::strerror(errno));
  write_lines(check_report(read_rows(opened.get(), file)));
}

void show_run(const Options& options) {
  std::uint64_t seed = 0;
  if (options.seed.empty()) {
    seed = rt::Random::OperatingSystemSeed();
    rt::WriteBytes("seed: " + std::to_string(seed) + "\n");
  } else {
    seed = *parse_seed(options.seed);
  }
  const Run run = run_search(seed);
  if (options.counts) {
    write_lines(run.report_lines);
  } else {
    write_rows(run.rows_of_phase(options.phase), kFormats.find(options.format)->second, options.sorted,
               standard_output());
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
  Options options;
  add_options(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() != 0) return fail(error.what() + std::string(" (see --help)"), kUsageStatus);
    // --help and --version.
    app.exit(error);
    return std::cout.flush() ? 0 : fail("cannot write to standard output", rt::kOutputErrorStatus);
  }
  try {
    if (options.check) {
      check_rows(options.file);
    } else {
      show_run(options);
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
