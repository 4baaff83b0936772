// erilaisetrivit-rivit as its users run it, in a child process: the rows and
// report lines of a seed, the tolerance of every phase checked both by the
// command's own --check and by this test, and bad rows, bad command lines and
// output failures with their exit status and their one line of message.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
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

ChildResult Rivit(const std::vector<std::string>& arguments, const StandardOutput& output = StandardOutput::Captured()) {
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

std::string ReportLine(std::size_t phase, std::size_t rows) {
  std::ostringstream line;
  line << "Vahintaan " << phase << " saa noin " << rows << ":lla rivilla";
  return line.str();
}

// A text row as a mask, once it is shown to be seven distinct numbers from 1
// to 40 separated by single spaces.
std::uint64_t RowMask(const std::string& row) {
  EXPECT_TRUE(std::regex_match(row, std::regex("[0-9]+( [0-9]+){6}"))) << row;
  std::istringstream in(row);
  std::uint64_t mask = 0;
  for (int n; in >> n;) mask |= (n >= 1 && n <= 40) ? std::uint64_t{1} << n : 1;
  EXPECT_EQ(std::popcount(mask), 7) << row;
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
    std::vector<std::string> expected;
    for (std::size_t phase = 1; phase <= 5; ++phase) expected.push_back(ReportLine(phase, counts[phase - 1]));
    const ChildResult result = Rivit({"--seed", std::to_string(seed), "--counts"});
    EXPECT_EQ(Succeeded(result), expected) << "seed " << seed;
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
    EXPECT_EQ(report[phase - 1], ReportLine(phase, rows.size()));
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
      {"1 2 3 4 5 6 \x01\xff", R"("\?\?" is not a number)"},
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
  const ScratchFile good("n1,n2,n3,n4,n5\n12 11 10 9 8\n1 2 3 11 12\n");
  EXPECT_EQ(Succeeded(Rivit({"--check", good.path, "--numbers", "12", "--length", "5"})),
            (std::vector<std::string>{"rows: 2", "most shared: 2", "pair: lines 2 and 3"}));
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
      {"--bogus"}, {"--phase", "0"}, {"--phase", "6"}, {"--seed", "-1"}, {"--seed", "18446744073709551616"},
      {"--seed", "0x10"}, {"--format", "xml"}, {"--check", "--seed", "1"}, {"--counts", "--sorted"}, {"rows.txt"},
      {"--check", "--numbers", "7", "--length", "7"}, {"--check", "--length", "11"}, {"--check", "--length", "1"},
      {"--check", "--numbers", "65"}, {"--seed", "1", "--numbers", "49"}, {"--length", "6"},
  };
  for (const std::vector<std::string>& arguments : cases) ExpectFailure(Rivit(arguments), kUsageStatus, ".+");
  EXPECT_EQ(Succeeded(Rivit({"--seed", "18446744073709551615", "--phase", "1"})).size(), 4u);
  EXPECT_EQ(Succeeded(Rivit({"--version"})), std::vector<std::string>{"erilaisetrivit-rivit 1.0.0"});
}

TEST(RivitCommand, OutputThatCannotBeWrittenIsAnError) {
  for (const StandardOutput& output : {StandardOutput::File("/dev/full"), StandardOutput::Closed()}) {
    ExpectFailure(Rivit({"--seed", "1", "--format", "json"}, output), kOutputErrorStatus,
                  "cannot write to standard output: .*");
  }
}

}  // namespace
