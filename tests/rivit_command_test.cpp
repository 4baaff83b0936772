// erilaisetrivit-rivit as its users run it, in a child process: the rows and
// report lines of a seed, the tolerance of every phase checked both by the
// command's own --check and by this test, the odds against every draw counted
// here and every share and "1 in X" of them read back, wheels counted set by
// set here and their line read back, rows found by --rows counted pair by
// pair here, and bad rows, bad
// command lines and output failures with their exit status and their one line
// of message.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/golden_counts.h"

namespace {

using tests::ChildResult;
using tests::StandardOutput;

constexpr int kUsageStatus = 2;
constexpr int kOutputErrorStatus = 74;

ChildResult Rivit(const std::vector<std::string>& arguments,
                  const StandardOutput& output = StandardOutput::Captured()) {
  return tests::RunChild(ERILAISETRIVIT_RIVIT_PATH, arguments, output);
}

std::vector<std::string> Succeeded(const ChildResult& result) {
  EXPECT_TRUE(result.exited && result.status == 0) << result;
  std::vector<std::string> lines;
  std::istringstream in(result.standard_output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A failure: `status`, no output, and the one line `message` on standard error.
void ExpectFailure(const ChildResult& result, int status, const std::string& message) {
  EXPECT_TRUE(result.exited && result.status == status) << result;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_TRUE(std::regex_match(result.standard_error, std::regex("erilaisetrivit-rivit: " + message + "\n")))
      << "not \"" << message << "\": " << result.standard_error;
}

// The numbers of a row written with single spaces, as a mask with bit n - 1
// for n; 0 when the line is no such row.
std::uint64_t MaskOf(const std::string& line) {
  std::istringstream in(line);
  std::uint64_t mask = 0;
  for (int n; in >> n;) mask |= (n >= 1 && n <= 64) ? std::uint64_t{1} << (n - 1) : 0;
  return in.eof() ? mask : 0;
}

// A text row as a mask, once it is shown to be seven distinct numbers from 1
// to 40 separated by single spaces.
std::uint64_t RowMask(const std::string& row) {
  EXPECT_TRUE(std::regex_match(row, std::regex("[0-9]+( [0-9]+){6}"))) << row;
  const std::uint64_t mask = MaskOf(row);
  EXPECT_EQ(std::popcount(mask), 7) << row;
  EXPECT_LT(mask, std::uint64_t{1} << 40) << row;
  return mask;
}

// A file of the test's own in the temporary directory, removed at the end;
// `path` is its name in UTF-8, as the command takes it.
struct ScratchFile {
  explicit ScratchFile(const std::string& text, const std::u8string& name = TestName())
      : file(std::filesystem::temp_directory_path() / name) {
    const std::u8string utf8 = file.u8string();
    path.assign(utf8.begin(), utf8.end());
    std::ofstream(file, std::ios::binary) << text;
  }
  ~ScratchFile() { std::filesystem::remove(file); }

  static std::u8string TestName() {
    const std::string name = std::string("rivit_") + testing::UnitTest::GetInstance()->current_test_info()->name();
    return {name.begin(), name.end()};
  }

  std::filesystem::path file;
  std::string path;
};

TEST(RivitCommand, CountsOfASeedAreTheProgramsReportLines) {
  for (const auto& [seed, counts] : tests::kGoldenCounts) {
    const ChildResult result = Rivit({"--seed", std::to_string(seed), "--counts"});
    EXPECT_EQ(Succeeded(result), tests::ReportLines(counts)) << "seed " << seed;
    EXPECT_EQ(result.standard_error, "");
  }
}

TEST(RivitCommand, EveryPhaseMeetsItsToleranceAndTheCheckSaysSo) {
  const std::vector<std::string> report = Succeeded(Rivit({"--seed", "7", "--counts"}));
  const std::vector<std::string> all_rows = Succeeded(Rivit({"--seed", "7"}));
  ASSERT_EQ(report.size(), 5u);
  for (std::size_t phase = 1; phase <= 5; ++phase) {
    SCOPED_TRACE(phase);
    const std::vector<std::string> rows = Succeeded(Rivit({"--seed", "7", "--phase", std::to_string(phase)}));
    // The first rows of the whole run, as many as the phase's report line says.
    EXPECT_EQ(report[phase - 1], tests::ReportLine(phase, rows.size()));
    ASSERT_LE(rows.size(), all_rows.size());
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), all_rows.begin()));
    std::vector<std::uint64_t> masks;
    int most = 0;
    for (const std::string& row : rows) {
      const std::uint64_t mask = RowMask(row);
      for (const std::uint64_t earlier : masks) most = std::max(most, std::popcount(earlier & mask));
      masks.push_back(mask);
    }
    EXPECT_LE(most, static_cast<int>(phase) - 1);

    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    const ScratchFile file(text);
    const std::vector<std::string> check = Succeeded(Rivit({"--check", file.path}));
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[0], "rows: " + std::to_string(rows.size()));
    EXPECT_EQ(check[1], "most shared: " + std::to_string(most));
    std::smatch pair;
    ASSERT_TRUE(std::regex_match(check[2], pair, std::regex("pair: lines ([0-9]+) and ([0-9]+)"))) << check[2];
    const std::size_t first = std::stoul(pair[1].str());
    const std::size_t second = std::stoul(pair[2].str());
    ASSERT_TRUE(first >= 1 && first < second && second <= rows.size()) << check[2];
    EXPECT_EQ(std::popcount(masks[first - 1] & masks[second - 1]), most) << check[2];
  }
}

TEST(RivitCommand, ASeedFromTheSystemIsWrittenAndGivesTheRunAgain) {
  const ChildResult first = Rivit({"--phase", "2"});
  std::smatch seed;
  ASSERT_TRUE(std::regex_match(first.standard_error, seed, std::regex("seed: ([0-9]+)\n"))) << first;
  const ChildResult again = Rivit({"--seed", seed[1].str(), "--phase", "2"});
  EXPECT_EQ(Succeeded(again), Succeeded(first));
  EXPECT_EQ(again.standard_error, "");
  EXPECT_NE(Succeeded(Rivit({"--phase", "2"})), Succeeded(first));
}

TEST(RivitCommand, ABadRowIsNamedByFileAndLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"1 2 3 4 5 6", "6 numbers, a row has 7"},
      {"1 2 3 4 5 6 7 8", "8 numbers, a row has 7"},
      {"1 2 3 4 5 6 41", "41 is not from 1 to 40"},
      {"0 2 3 4 5 6 7", "0 is not from 1 to 40"},
      {"99999999999999999999 2 3 4 5 6 7", "99999999999999999999 is not from 1 to 40"},
      {"1 2 3 4 5 6 2", "2 appears twice"},
      {"1 2 3 4 5 6 7.0", R"("7\.0" is not a number)"},
      {"1 2 3 4 5 6 \x01\xff", R"("\\x01\\xFF" is not a number)"},
      {"1 2 3 4 5 6 Ωμέγα", R"("Ωμέγα" is not a number)"},
      {"1;2;;3 4 5 6 7", "a field is empty"},
      {"1,2,,3 4 5 6 7", "a field is empty"},
      {"1 2 3 4 5 6 7,", "a field is empty"},
      {"n1,n2,n3,n4,n5,n6,n7", "\"n1\" is not a number"},
  };
  for (const auto& [line, message] : cases) {
    const ScratchFile file("  # rows\n1 2 3 4 5 6 7\n\n\t8, 9 ,10,\t11,12,13,014 \r\n" + line + "\n1 2 3 4 5 6 7\n");
    ExpectFailure(Rivit({"--check", file.path}), kUsageStatus, ".*rivit_.*:5: " + message);
  }
  // Another lottery: its own bounds in every message, its own CSV header skipped.
  const std::pair<std::string, std::string> cases_of_5_from_12[] = {
      {"1 2 3 4 5 6 7", "7 numbers, a row has 5"},
      {"1 2 3 4 13", "13 is not from 1 to 12"},
  };
  for (const auto& [line, message] : cases_of_5_from_12) {
    const ScratchFile file("n1,n2,n3,n4,n5\n12 11 10 9 8\n" + line + "\n");
    ExpectFailure(Rivit({"--check", file.path, "--numbers", "12", "--length", "5"}), kUsageStatus,
                  ".*rivit_.*:3: " + message);
  }
  // What spreadsheets and Windows editors write: a byte-order mark, then
  // semicolons and tabs between the numbers.
  const ScratchFile good("\xEF\xBB\xBFn1,n2,n3,n4,n5\r\n12;11;10;9;8\r\n1; 2 ;3\t11\t12\r\n");
  EXPECT_EQ(Succeeded(Rivit({"--check", good.path, "--numbers", "12", "--length", "5"})),
            (std::vector<std::string>{"rows: 2", "most shared: 2", "pair: lines 2 and 3"}));
  EXPECT_EQ(Succeeded(Rivit({"--check", good.path, "--numbers", "12", "--length", "5", "--format", "json"})),
            (std::vector<std::string>{R"({"most_shared":2,"pair":[2,3],"rows":2})"}));
  EXPECT_EQ(Succeeded(Rivit({"--check", good.path, "--numbers", "12", "--length", "5", "--format", "csv"})),
            (std::vector<std::string>{"rows,most_shared,first_line,second_line", "2,2,2,3"}));
  ExpectFailure(Rivit({"--check", "no such file"}), kUsageStatus, "cannot open no such file: .*");
}

// Greek is outside the ANSI code page of a Windows set for Western Europe:
// arguments, file names and the messages that quote them are UTF-8 throughout.
TEST(RivitCommand, ArgumentsAndFileNamesAreUtf8) {
  const ScratchFile rows("1 2 3 4 5 6 7\n1 2 3 8 9 10 11\n", u8"Ωμέγα.txt");
  EXPECT_EQ(Succeeded(Rivit({"--check", rows.path})),
            (std::vector<std::string>{"rows: 2", "most shared: 3", "pair: lines 1 and 2"}));
  const ScratchFile bad("1 2 3 4 5 6 7\n1 2 3\n", u8"Ωμέγα-virhe.txt");
  ExpectFailure(Rivit({"--check", bad.path}), kUsageStatus, ".*Ωμέγα-virhe\\.txt:2: 3 numbers, a row has 7");
  ExpectFailure(Rivit({"--check", bad.path + "-puuttuu"}), kUsageStatus, "cannot open .*Ωμέγα-virhe\\.txt-puuttuu: .*");
  ExpectFailure(Rivit({"--seed", "Ω"}), kUsageStatus, ".*\"Ω\".*");
}

TEST(RivitCommand, BadCommandLinesAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},
      {"--phase", "0"},
      {"--phase", "6"},
      {"--seed", "-1"},
      {"--seed", "18446744073709551616"},
      {"--seed", "0x10"},
      {"--format", "xml"},
      {"--check", "--seed", "1"},
      {"--counts", "--sorted"},
      {"rows.txt"},
      {"--check", "--numbers", "7", "--length", "7"},
      {"--check", "--length", "11"},
      {"--check", "--length", "1"},
      {"--check", "--numbers", "65"},
      {"--seed", "1", "--numbers", "49"},
      {"--length", "6"},
  };
  for (const std::vector<std::string>& arguments : cases) ExpectFailure(Rivit(arguments), kUsageStatus, ".+");
  EXPECT_EQ(Succeeded(Rivit({"--seed", "18446744073709551615", "--phase", "1"})).size(), 4u);
  EXPECT_EQ(Succeeded(Rivit({"--version"})), std::vector<std::string>{"erilaisetrivit-rivit 1.0.0"});
}

// The integers of the JSON array that follows "key": in `object`.
std::vector<std::uint64_t> JsonArray(const std::string& object, const std::string& key) {
  std::smatch array;
  EXPECT_TRUE(std::regex_search(object, array, std::regex("\"" + key + "\":\\[([0-9,]*)\\]"))) << key;
  std::vector<std::uint64_t> numbers;
  std::istringstream in(array[1].str());
  for (std::string n; std::getline(in, n, ',');) numbers.push_back(std::stoull(n));
  return numbers;
}

// For each k, the draws of `length` from `numbers` whose best row shares
// exactly k numbers with them: every draw against every row. Only the draws
// that put at least `if_drawn` numbers in `pool`, where one is given.
std::vector<std::uint64_t> BestOfEveryDraw(const std::vector<std::uint64_t>& rows, int numbers, int length,
                                           std::uint64_t pool = 0, int if_drawn = 0) {
  std::vector<std::uint64_t> best(static_cast<std::size_t>(length) + 1, 0);
  for (std::uint64_t draw = 0; draw < (std::uint64_t{1} << numbers); ++draw) {
    if (std::popcount(draw) != length || std::popcount(draw & pool) < if_drawn) continue;
    int most = 0;
    for (const std::uint64_t row : rows) most = std::max(most, std::popcount(row & draw));
    ++best[static_cast<std::size_t>(most)];
  }
  return best;
}

// A share printed to six places is 100 part / whole within half the last
// place (and a hair for the double it went through).
void ExpectShare(const std::string& printed, std::uint64_t part, std::uint64_t whole) {
  EXPECT_TRUE(std::regex_match(printed, std::regex("[0-9]+\\.[0-9]{6}"))) << printed;
  const long double exact = 100.0L * static_cast<long double>(part) / static_cast<long double>(whole);
  EXPECT_LE(std::abs(std::stold(printed) - exact), 0.5e-6L * 1.000001L)
      << printed << " % for " << part << " of " << whole;
}

// "1 in X" is whole / part to two places, and "never" where part is 0.
void ExpectOneIn(const std::string& printed, std::uint64_t part, std::uint64_t whole) {
  std::smatch x;
  if (part == 0 || !std::regex_match(printed, x, std::regex("1 in ([0-9]+\\.[0-9]{2})"))) {
    EXPECT_TRUE(part == 0 && printed == "never") << printed << " for " << part << " of " << whole;
    return;
  }
  const long double exact = static_cast<long double>(whole) / static_cast<long double>(part);
  EXPECT_LE(std::abs(std::stold(x[1].str()) - exact), 0.005L * 1.000001L)
      << printed << " for " << part << " of " << whole;
}

TEST(RivitCommand, OddsAreThoseOfEveryDrawCountedHere) {
  std::mt19937_64 random(15);
  for (int trial = 0; trial < 4; ++trial) {
    const int numbers = 10 + trial * 2;
    const int length = 3 + trial;
    std::vector<int> pool(static_cast<std::size_t>(numbers));
    for (int n = 1; n <= numbers; ++n) pool[static_cast<std::size_t>(n - 1)] = n;
    std::string text;
    std::vector<std::uint64_t> rows;
    for (int i = 0; i < 1 + trial * 3; ++i) {
      std::shuffle(pool.begin(), pool.end(), random);
      std::string line;
      for (int j = 0; j < length; ++j) line += std::to_string(pool[static_cast<std::size_t>(j)]) + " ";
      line.pop_back();
      for (int copies = i % 3 == 2 ? 2 : 1; copies > 0; --copies) {
        text += line + "\n";
        rows.push_back(MaskOf(line));
      }
    }
    const ScratchFile file(text);
    const std::vector<std::string> lottery = {"--numbers", std::to_string(numbers), "--length", std::to_string(length)};
    std::vector<std::string> arguments = {"--odds", file.path, "--format", "json"};
    arguments.insert(arguments.end(), lottery.begin(), lottery.end());
    const std::vector<std::string> json = Succeeded(Rivit(arguments));
    ASSERT_EQ(json.size(), 1u);
    const std::vector<std::uint64_t> best = BestOfEveryDraw(rows, numbers, length);
    EXPECT_EQ(JsonArray(json[0], "best"), best) << text;
    const auto guaranteed =
        std::find_if(best.begin(), best.end(), [](std::uint64_t n) { return n > 0; }) - best.begin();
    EXPECT_NE(json[0].find("\"guaranteed\":" + std::to_string(guaranteed) + ","), std::string::npos) << json[0];
    std::vector<std::uint64_t> balance(static_cast<std::size_t>(numbers), 0);
    for (const std::uint64_t row : rows) {
      for (int n = 1; n <= numbers; ++n) balance[static_cast<std::size_t>(n - 1)] += row >> (n - 1) & 1;
    }
    EXPECT_EQ(JsonArray(json[0], "balance"), balance);

    // The same counts in the other formats, with their shares of the draws:
    // each line of the CSV, and each line of the text's table.
    std::vector<std::uint64_t> at_least(best.size());
    std::uint64_t sum = 0;
    for (std::size_t k = best.size(); k-- > 0;) at_least[k] = sum += best[k];
    const std::uint64_t draws = at_least[0];
    arguments[3] = "csv";
    const std::vector<std::string> csv = Succeeded(Rivit(arguments));
    ASSERT_EQ(csv.size(), best.size() + 1);
    EXPECT_EQ(csv[0], "right,exactly,at_least,percent_at_least");
    const std::regex csv_line("([0-9]+),([0-9]+),([0-9]+),([^,]*)");
    arguments[3] = "text";
    const std::vector<std::string> text_lines = Succeeded(Rivit(arguments));
    const auto header =
        std::find(text_lines.begin(), text_lines.end(), "right        exactly        at least  share at least  odds");
    ASSERT_LE(header + 1 + static_cast<std::ptrdiff_t>(best.size()), text_lines.end()) << text;
    EXPECT_EQ(*(header + 1 + static_cast<std::ptrdiff_t>(best.size())), "guaranteed: " + std::to_string(guaranteed));
    const std::regex table_line(" *([0-9]+) +([0-9]+) +([0-9]+) +([0-9.]+) %  (.*)");
    for (std::size_t k = 0; k < best.size(); ++k) {
      std::smatch field;
      ASSERT_TRUE(std::regex_match(csv[k + 1], field, csv_line)) << csv[k + 1];
      EXPECT_EQ(field[1].str() + "," + field[2].str() + "," + field[3].str(),
                std::to_string(k) + "," + std::to_string(best[k]) + "," + std::to_string(at_least[k]));
      ExpectShare(field[4], at_least[k], draws);
      const std::string& line = *(header + 1 + static_cast<std::ptrdiff_t>(k));
      ASSERT_TRUE(std::regex_match(line, field, table_line)) << line;
      EXPECT_EQ(field[1].str() + " " + field[2].str() + " " + field[3].str(),
                std::to_string(k) + " " + std::to_string(best[k]) + " " + std::to_string(at_least[k]));
      ExpectShare(field[4], at_least[k], draws);
      ExpectOneIn(field[5], at_least[k], draws);
    }
  }
  // Without a file, the rows the command would print.
  const std::vector<std::string> rows = Succeeded(Rivit({"--seed", "1", "--phase", "2"}));
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  const ScratchFile file(text);
  EXPECT_EQ(Succeeded(Rivit({"--seed", "1", "--phase", "2", "--odds", "--format", "json"})),
            Succeeded(Rivit({"--odds", file.path, "--format", "json"})));
}

TEST(RivitCommand, FoundRowsAreWhatTheirSummarySaysAndTheSeedGivesThemAgain) {
  const std::vector<std::string> search = {"--rows", "13", "--numbers", "16", "--length", "4", "--steps", "4000"};
  std::vector<std::string> seeded = search;
  seeded.insert(seeded.end(), {"--seed", "5"});
  const ChildResult result = Rivit(seeded);
  const std::vector<std::string> lines = Succeeded(result);
  ASSERT_EQ(lines.size(), 13u);
  std::vector<std::uint64_t> rows;
  std::vector<int> uses(16, 0);
  for (const std::string& line : lines) {
    rows.push_back(MaskOf(line));
    EXPECT_TRUE(std::popcount(rows.back()) == 4 && rows.back() < (1U << 16)) << line;
    for (int n = 0; n < 16; ++n) uses[static_cast<std::size_t>(n)] += static_cast<int>(rows.back() >> n & 1);
  }
  int largest = 0;
  int pairs = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      const int shared = std::popcount(rows[i] & rows[j]);
      if (shared > largest) pairs = 0;
      largest = std::max(largest, shared);
      pairs += shared == largest ? 1 : 0;
    }
  }
  const auto [least, most] = std::minmax_element(uses.begin(), uses.end());
  EXPECT_TRUE(std::regex_match(result.standard_error,
                               std::regex("rows: 13, largest shared " + std::to_string(largest) + ", pairs at it " +
                                          std::to_string(pairs) + ", usage range " + std::to_string(*most - *least) +
                                          "( \\(no rows do better\\))?; [0-9]+ steps, [0-9.]+ s\n")))
      << result.standard_error;
  EXPECT_EQ(Succeeded(Rivit(seeded)), lines);

  // Without a seed, the one it took comes first on standard error.
  const ChildResult unseeded = Rivit(search);
  std::smatch seed;
  ASSERT_TRUE(std::regex_search(unseeded.standard_error, seed, std::regex("^seed: ([0-9]+)\n"))) << unseeded;
  std::vector<std::string> again = search;
  again.insert(again.end(), {"--seed", seed[1].str()});
  EXPECT_EQ(Succeeded(Rivit(again)), Succeeded(unseeded));

  // Five rows of 7 from 40 can share nothing: found, and known to be the best.
  const ChildResult disjoint = Rivit({"--rows", "5", "--seed", "1", "--sorted"});
  EXPECT_EQ(Succeeded(disjoint).size(), 5u);
  EXPECT_TRUE(std::regex_search(disjoint.standard_error, std::regex("largest shared 0, .*no rows do better")))
      << disjoint.standard_error;
}

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 0xcbf29ce484222325U;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3U;
  return hash;
}

// The rows of searches, recorded from the Linux build: every build, the
// Windows programs under wine among them, must find the same. One search of
// each start: rows drawn at random, rows from circles (130 rows may share
// 2), rows by rotation (300 rows may share 3).
TEST(RivitCommand, FoundRowsAreTheSameOnEveryBuild) {
  struct Recorded {
    const char* rows;
    const char* steps;
    std::uint64_t hash;  // FNV-1a of standard output
  };
  const Recorded recorded[] = {
      {"30", "3000", 0x1b525a6b517427f4U},
      {"130", "3000", 0x56592567a14a3579U},
      {"300", "8000", 0x7d357e808abdd238U},
  };
  for (const Recorded& r : recorded) {
    const ChildResult result = Rivit({"--rows", r.rows, "--seed", "1", "--steps", r.steps});
    EXPECT_EQ(Succeeded(result).size(), std::stoul(r.rows));
    EXPECT_EQ(Fnv1a(result.standard_output), r.hash) << r.rows << " rows:\n" << result.standard_output;
  }
}

// Wheels of a seed and steps, recorded from the Linux build likewise: one
// searched for the fewest rows, one for a budget of rows.
TEST(RivitCommand, WheelsAreTheSameOnEveryBuild) {
  const std::pair<std::vector<std::string>, std::uint64_t> recorded[] = {
      {{"--numbers", "20", "--length", "5", "--pool", "1-10", "--wheel", "--guarantee", "4", "--seed", "1", "--steps",
        "3000"},
       0xe55059a759e86d58U},
      {{"--numbers", "20", "--length", "5", "--pool", "1-12", "--wheel", "--guarantee", "4", "--rows", "60", "--seed",
        "2", "--steps", "3000"},
       0xe6018ed5faf6152fU},
      // Too many sets of 6 to count whole: split into parts whose sizes the searches choose.
      {{"--numbers", "36", "--length", "6", "--wheel", "--guarantee", "2", "--if", "6", "--seed", "3", "--steps",
        "3000"},
       0xd141a148cde37661U},
  };
  for (const auto& [arguments, hash] : recorded) {
    const ChildResult result = Rivit(arguments);
    EXPECT_TRUE(result.exited && result.status == 0) << result;
    EXPECT_EQ(Fnv1a(result.standard_output), hash) << result.standard_output;
  }
}

// The m-sets of `pool` that no row meets in `right` numbers, counted plainly.
std::uint64_t UncoveredSets(const std::vector<std::uint64_t>& rows, std::uint64_t pool, int right, int if_drawn) {
  std::uint64_t uncovered = 0;
  for (std::uint64_t set = pool; set != 0; set = (set - 1) & pool) {
    if (std::popcount(set) != if_drawn) continue;
    const bool met =
        std::any_of(rows.begin(), rows.end(), [&](std::uint64_t row) { return std::popcount(row & set) >= right; });
    uncovered += met ? 0 : 1;
  }
  return uncovered;
}

std::uint64_t Choose(int n, int k) {
  std::uint64_t c = 1;
  for (int i = 1; i <= k; ++i) c = c * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
  return c;
}

// What the wheel's line on standard error says of its rows of `pool`, read
// back: the guarantee holds, or the sets it leaves are those counted here
// and their share covered is right to four places; "(no fewer rows can do
// it)" exactly where nothing is left and the rows are as few as the bound.
struct WheelLine {
  std::uint64_t bound = 0;
  bool claimed = false;
};
WheelLine ExpectWheelLine(const std::string& line, const std::vector<std::uint64_t>& rows, std::uint64_t pool,
                          int right, int if_drawn) {
  std::smatch field;
  const bool read = std::regex_match(
      line, field,
      std::regex("rows: ([0-9]+), guarantee ([0-9]+) if ([0-9]+) on ([0-9]+) numbers( holds|: ([0-9]+) of ([0-9]+) "
                 "sets of ([0-9]+) left uncovered, ([0-9]+\\.[0-9]{4}) % covered), lower bound ([0-9]+)( \\(no "
                 "fewer rows can do it\\))?; [0-9]+ steps, [0-9.]+ s\n"));
  EXPECT_TRUE(read) << line;
  if (!read) return {};
  const std::uint64_t uncovered = UncoveredSets(rows, pool, right, if_drawn);
  const std::uint64_t sets = Choose(std::popcount(pool), if_drawn);
  EXPECT_EQ(field[1].str() + " " + field[2].str() + " " + field[3].str() + " " + field[4].str(),
            std::to_string(rows.size()) + " " + std::to_string(right) + " " + std::to_string(if_drawn) + " " +
                std::to_string(std::popcount(pool)))
      << line;
  EXPECT_EQ(field[5] == " holds", uncovered == 0) << line;
  if (uncovered != 0) {
    EXPECT_EQ(field[6].str() + " " + field[7].str() + " " + field[8].str(),
              std::to_string(uncovered) + " " + std::to_string(sets) + " " + std::to_string(if_drawn))
        << line;
    const long double covered = 100.0L * static_cast<long double>(sets - uncovered) / static_cast<long double>(sets);
    EXPECT_LE(std::abs(std::stold(field[9].str()) - covered), 0.00005L * 1.000001L) << line;
  }
  const WheelLine wheel{std::stoull(field[10].str()), field[11].matched};
  EXPECT_EQ(wheel.claimed, uncovered == 0 && rows.size() == wheel.bound) << line;
  return wheel;
}

// Wheels of small pools, each checked here set by set; the command's own
// check of them agrees and tells by its status; a budget of rows says how
// many sets it leaves; the seed and steps give the same rows again.
TEST(RivitCommand, WheelsKeepTheirGuaranteeAndTheCheckTellsByItsStatus) {
  struct Case {
    std::vector<std::string> lottery;
    std::string pool;
    std::uint64_t pool_mask;
    int right;
    int if_drawn;
    int length;
  };
  const Case cases[] = {
      {{"--numbers", "40", "--length", "7"}, "1-12", (1U << 12) - 1, 3, 4, 7},
      {{"--numbers", "20", "--length", "5"}, "2,4-9,11, 13", 0b1010111111010, 3, 3, 5},
      {{"--numbers", "30", "--length", "6"}, "1-10", (1U << 10) - 1, 2, 6, 6},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.lottery;
    arguments.insert(arguments.end(), {"--pool", c.pool, "--wheel", "--guarantee", std::to_string(c.right), "--if",
                                       std::to_string(c.if_drawn), "--seed", "3", "--steps", "3000"});
    const ChildResult result = Rivit(arguments);
    const std::vector<std::string> lines = Succeeded(result);
    std::vector<std::uint64_t> rows;
    for (const std::string& line : lines) rows.push_back(MaskOf(line));
    for (const std::uint64_t row : rows) {
      EXPECT_EQ(std::popcount(row), c.length);
      EXPECT_EQ(row & ~c.pool_mask, 0U);
    }
    EXPECT_EQ(UncoveredSets(rows, c.pool_mask, c.right, c.if_drawn), 0U) << result.standard_output;
    ExpectWheelLine(result.standard_error, rows, c.pool_mask, c.right, c.if_drawn);
    const std::string guarantee = std::to_string(c.right) + " if " + std::to_string(c.if_drawn) + " on " +
                                  std::to_string(std::popcount(c.pool_mask)) + " numbers";
    EXPECT_EQ(Succeeded(Rivit(arguments)), lines);

    // The command's check: it holds, and fails without the first row.
    std::vector<std::string> check = c.lottery;
    check.insert(check.end(), {"--pool", c.pool, "--guarantee", std::to_string(c.right), "--if",
                               std::to_string(c.if_drawn), "--check"});
    std::string text = result.standard_output;
    const ScratchFile all(text);
    check.push_back(all.path);
    EXPECT_EQ(Succeeded(Rivit(check)).back(), "guarantee: " + guarantee + ": holds");
    const std::vector<std::uint64_t> fewer(rows.begin() + 1, rows.end());
    const std::uint64_t uncovered = UncoveredSets(fewer, c.pool_mask, c.right, c.if_drawn);
    const ScratchFile short_one(text.substr(text.find('\n') + 1));
    check.back() = short_one.path;
    const ChildResult failed = Rivit(check);
    EXPECT_EQ(failed.status, uncovered == 0 ? 0 : 1) << failed;
    if (uncovered != 0) {
      EXPECT_NE(
          failed.standard_output.find("guarantee: " + guarantee + ": fails for " + std::to_string(uncovered) + " of "),
          std::string::npos)
          << failed.standard_output;
    }
  }
}

// Schönheim's bound on the rows of k from v that hold every t-set, worked
// from the inside out: one row, then for each i from t - 1 down to 0,
// ceil(rows (v - i) / (k - i)).
std::uint64_t SchoenheimBound(int v, int k, int t) {
  std::uint64_t rows = 1;
  for (int i = t - 1; i >= 0; --i) {
    const std::uint64_t numerator = rows * static_cast<std::uint64_t>(v - i);
    const auto denominator = static_cast<std::uint64_t>(k - i);
    rows = numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
  }
  return rows;
}

// The claim of the fewest rows, both ways: made for the seven rows of 3 that
// hold every pair of 7 numbers, at Schönheim's bound; not made for a cover
// above it (no 50 rows of 5 from 10 hold every 4-set: the best has 51), nor
// for budgets at the bound, below it and above it that leave sets uncovered, whose
// sets are counted here. Where T = M the bound is Schönheim's, worked out here.
TEST(RivitCommand, TheWheelLineClaimsTheFewestRowsExactlyWhenTheyHoldAtTheBound) {
  struct Case {
    std::vector<std::string> arguments;
    std::uint64_t pool;
    int length;
    int right;
    int if_drawn;
    int rows_against_bound;  // the sign of rows - bound
    bool claimed;
  };
  const Case cases[] = {
      {{"--numbers", "10", "--length", "3", "--pool", "1-7", "--wheel", "--guarantee", "2"}, 0x7F, 3, 2, 2, 0, true},
      {{"--numbers", "10", "--length", "5", "--wheel", "--guarantee", "4"}, 0x3FF, 5, 4, 4, 1, false},
      {{"--pool", "1-12", "--wheel", "--guarantee", "4", "--if", "5", "--rows", "3"}, 0xFFF, 7, 4, 5, 0, false},
      {{"--pool", "1-12", "--wheel", "--guarantee", "4", "--if", "5", "--rows", "2"}, 0xFFF, 7, 4, 5, -1, false},
      {{"--pool", "1-12", "--wheel", "--guarantee", "4", "--if", "5", "--rows", "6"}, 0xFFF, 7, 4, 5, 1, false},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(), {"--seed", "2", "--steps", "2000"});
    const ChildResult result = Rivit(arguments);
    std::vector<std::uint64_t> rows;
    for (const std::string& line : Succeeded(result)) rows.push_back(MaskOf(line));
    for (const std::uint64_t row : rows) {
      EXPECT_TRUE(std::popcount(row) == c.length && (row & ~c.pool) == 0) << result.standard_output;
    }
    const WheelLine line = ExpectWheelLine(result.standard_error, rows, c.pool, c.right, c.if_drawn);
    if (c.right == c.if_drawn) {
      EXPECT_EQ(line.bound, SchoenheimBound(std::popcount(c.pool), c.length, c.right)) << result.standard_error;
    }
    EXPECT_EQ((rows.size() > line.bound) - (rows.size() < line.bound), c.rows_against_bound) << result.standard_error;
    EXPECT_EQ(line.claimed, c.claimed) << result.standard_error;
  }
}

// The odds over the draws that put at least M numbers in the pool, counted
// here draw by draw.
TEST(RivitCommand, ConditionedOddsAreThoseOfTheDrawsThatMeetTheCondition) {
  const ScratchFile file("1 2 3 4\n3 5 7 9\n2 6 10 14\n");
  const std::uint64_t pool = 0b1101101111;  // 1-4, 6, 7, 9, 10
  const ChildResult result = Rivit({"--odds", file.path, "--numbers", "14", "--length", "4", "--pool", "1-4,6,7,9,10",
                                    "--if", "3", "--format", "json"});
  const std::vector<std::string> json = Succeeded(result);
  ASSERT_EQ(json.size(), 1u);
  const std::vector<std::uint64_t> rows = {0b1111, 0b101010100, 0b10001000100010};
  const std::vector<std::uint64_t> best = BestOfEveryDraw(rows, 14, 4, pool, 3);
  const std::string conditioned = json[0].substr(json[0].find("\"if\":"));
  EXPECT_EQ(JsonArray(conditioned, "best"), best) << json[0];
  EXPECT_EQ(JsonArray(conditioned, "pool"), (std::vector<std::uint64_t>{1, 2, 3, 4, 6, 7, 9, 10}));
}

TEST(RivitCommand, WheelOptionsOutOfPlaceAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--guarantee", "3"},
      {"--wheel"},
      {"--wheel", "--guarantee", "3", "--phase", "2"},
      {"--wheel", "--guarantee", "3", "--counts"},
      {"--wheel", "--guarantee", "4", "--if", "3"},
      {"--wheel", "--guarantee", "0"},
      {"--wheel", "--guarantee", "3", "--if", "8"},
      {"--wheel", "--guarantee", "3", "--pool", "1-41"},
      {"--wheel", "--guarantee", "3", "--pool", "1-6"},
      {"--wheel", "--guarantee", "3", "--pool", "1-5,x"},
      {"--wheel", "--guarantee", "3", "--pool", "9-1"},
      {"--pool", "1-12"},
      {"--if", "3"},
      {"--check", "--guarantee", "3", "--if", "2"},
  };
  for (const std::vector<std::string>& arguments : cases) ExpectFailure(Rivit(arguments), kUsageStatus, ".+");
}

TEST(RivitCommand, OddsAndRowsRefuseWhatTheyCannotDo) {
  const std::vector<std::vector<std::string>> cases = {
      {"--odds", "--numbers", "64", "--length", "10", "--rows", "3"},
      {"--rows", "0"},
      {"--rows", "6", "--numbers", "5", "--length", "4"},
      {"--rows", "3", "--phase", "2"},
      {"--rows", "3", "--counts"},
      {"--rows", "3", "--check"},
      {"--steps", "10"},
      {"--rows", "3", "--steps", "0"},
      {"--rows", "3", "--time", "0"},
      {"--rows", "3", "--time", "soon"},
      {"--rows", "3", "--steps", "9", "--time", "1"},
      {"--counts", "--odds"},
      {"--odds", "--sorted"},
      {"--odds", "no such file"},
  };
  for (const std::vector<std::string>& arguments : cases) ExpectFailure(Rivit(arguments), kUsageStatus, ".+");
  // A search's steps and seconds are in the library's ranges, for rows and wheels alike.
  ExpectFailure(Rivit({"--rows", "3", "--steps", "281474976710657"}), kUsageStatus,
                "--steps: the steps are from 1 to 281474976710656.*");
  ExpectFailure(Rivit({"--wheel", "--pool", "1-12", "--guarantee", "3", "--time", "0"}), kUsageStatus,
                "--time: the seconds are from 0\\.001 to 604800.*");
}

TEST(RivitCommand, OutputThatCannotBeWrittenIsAnError) {
  for (const StandardOutput& output : {StandardOutput::File("/dev/full"), StandardOutput::Closed()}) {
    ExpectFailure(Rivit({"--seed", "1", "--format", "json"}, output), kOutputErrorStatus,
                  "cannot write to standard output: .*");
  }
}

}  // namespace
