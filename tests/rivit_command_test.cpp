// erilaisetrivit-rivit as its users run it, in a child process: the rows and
// report lines of a seed, the tolerance of every phase checked both by the
// command's own --check and by this test, and every kind of bad input and
// command line, and of output failure, with its exit status and message.

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

namespace {

using tests::ChildResult;
using tests::StandardOutput;

constexpr char kCommand[] = ERILAISETRIVIT_RIVIT_PATH;
constexpr int kUsageStatus = 2;
constexpr int kOutputErrorStatus = 74;

ChildResult Rivit(const std::vector<std::string>& arguments,
                  const StandardOutput& output = StandardOutput::Captured()) {
  return tests::RunChild(kCommand, arguments, output);
}

std::string Succeeded(const ChildResult& result) {
  EXPECT_TRUE(result.exited && result.status == 0) << result;
  return result.standard_output;
}

// A failure: the status, nothing on standard output, and one line on standard
// error that holds `words`.
void ExpectFailure(const ChildResult& result, int status, const std::string& words) {
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, status) << result;
  EXPECT_EQ(result.standard_output, "");
  const std::string& message = result.standard_error;
  EXPECT_TRUE(message.size() > 1 && message.find('\n') == message.size() - 1) << "not one line: " << result;
  EXPECT_NE(message.find(words), std::string::npos) << "no \"" << words << "\" in: " << message;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Rows in text form as masks, every row checked to be seven distinct numbers
// from 1 to 40 separated by single spaces.
std::vector<std::uint64_t> RowMasks(const std::string& text) {
  std::vector<std::uint64_t> masks;
  for (const std::string& line : Lines(text)) {
    std::istringstream in(line);
    std::uint64_t mask = 0;
    int count = 0;
    for (int n; in >> n; ++count) {
      EXPECT_TRUE(n >= 1 && n <= 40) << line;
      mask |= std::uint64_t{1} << (n & 63);
    }
    EXPECT_TRUE(count == 7 && std::popcount(mask) == 7) << line;
    EXPECT_EQ(line.find("  "), std::string::npos) << line;
    masks.push_back(mask);
  }
  return masks;
}

int MostShared(const std::vector<std::uint64_t>& rows) {
  int most = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) most = std::max(most, std::popcount(rows[i] & rows[j]));
  }
  return most;
}

template <typename Count>
std::string ReportLine(int phase, const Count& rows) {
  std::ostringstream line;
  line << "Vahintaan " << phase << " saa noin " << rows << ":lla rivilla";
  return line.str();
}

// A file of the test's own, removed at the end of the test.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& text)
      : path_(std::filesystem::temp_directory_path() /
              (std::string("rivit_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
               std::to_string(counter_++) + ".txt")) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~ScratchFile() { std::filesystem::remove(path_); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  std::string path() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

TEST(RivitCommand, CountsOfASeedAreTheProgramsReportLines) {
  const struct {
    const char* seed;
    const char* counts[5];
  } golden[] = {
      {"1", {"4", "9", "44", "306", "2835"}},
      {"2", {"4", "9", "46", "306", "2858"}},
      {"20261208", {"4", "8", "45", "302", "2862"}},
  };
  for (const auto& run : golden) {
    std::string expected;
    for (int phase = 1; phase <= 5; ++phase) expected += ReportLine(phase, run.counts[phase - 1]) + "\n";
    const ChildResult result = Rivit({"--seed", run.seed, "--counts"});
    EXPECT_EQ(Succeeded(result), expected) << "seed " << run.seed;
    EXPECT_EQ(result.standard_error, "");
  }
}

TEST(RivitCommand, EveryPhaseMeetsItsToleranceAndTheCheckSaysSo) {
  const std::string seed = "20261208";
  const std::vector<std::string> report = Lines(Succeeded(Rivit({"--seed", seed, "--counts"})));
  ASSERT_EQ(report.size(), 5u);
  const std::string all_rows = Succeeded(Rivit({"--seed", seed}));
  EXPECT_EQ(Succeeded(Rivit({"--seed", seed, "--phase", "5"})), all_rows);
  for (int phase = 1; phase <= 5; ++phase) {
    SCOPED_TRACE(phase);
    const std::string rows = Succeeded(Rivit({"--seed", seed, "--phase", std::to_string(phase)}));
    // The rows that end with the phase, as many as its report line says.
    EXPECT_EQ(all_rows.compare(0, rows.size(), rows), 0);
    const std::vector<std::uint64_t> masks = RowMasks(rows);
    EXPECT_EQ(report[static_cast<std::size_t>(phase - 1)], ReportLine(phase, masks.size()));
    const int most = MostShared(masks);
    EXPECT_LE(most, phase - 1);

    ScratchFile file(rows);
    const std::vector<std::string> check = Lines(Succeeded(Rivit({"--check", file.path()})));
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[0], "rows: " + std::to_string(masks.size()));
    EXPECT_EQ(check[1], "most shared: " + std::to_string(most));
    std::smatch pair;
    ASSERT_TRUE(std::regex_match(check[2], pair, std::regex("pair: lines ([0-9]+) and ([0-9]+)"))) << check[2];
    const std::size_t first = std::stoul(pair[1].str());
    const std::size_t second = std::stoul(pair[2].str());
    ASSERT_TRUE(first >= 1 && first < second && second <= masks.size()) << check[2];
    EXPECT_EQ(std::popcount(masks[first - 1] & masks[second - 1]), most) << check[2];
  }
}

TEST(RivitCommand, ASeedFromTheSystemIsWrittenAndGivesTheRunAgain) {
  const ChildResult first = Rivit({"--phase", "2"});
  const std::string rows = Succeeded(first);
  std::smatch seed;
  ASSERT_TRUE(std::regex_match(first.standard_error, seed, std::regex("seed: ([0-9]+)\n"))) << first;
  const ChildResult again = Rivit({"--seed", seed[1].str(), "--phase", "2"});
  EXPECT_EQ(Succeeded(again), rows);
  EXPECT_EQ(again.standard_error, "");
  EXPECT_NE(Succeeded(Rivit({"--phase", "2"})), rows);
}

TEST(RivitCommand, BadRowsNameFileAndLine) {
  const std::string good = "# rows\n1 2 3 4 5 6 7\n\n8 9 10 11 12 13 14\n";
  for (const std::string bad : {"1 2 3 4 5 6", "1 2 3 4 5 6 7 8", "1 2 3 4 5 6 41", "1 2 3 4 5 6 1",
                                "1 2 3 4 5 6 seven", "1,2,,3 4 5 6 7"}) {
    ScratchFile file(good + bad + "\n1 2 3 4 5 6 7\n");
    ExpectFailure(Rivit({"--check", file.path()}), kUsageStatus, file.path() + ":5: ");
  }
  const std::string missing = (std::filesystem::temp_directory_path() / "rivit_no_such_file.txt").string();
  ExpectFailure(Rivit({"--check", missing}), kUsageStatus, missing);
}

TEST(RivitCommand, BadCommandLinesAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},         {"--phase", "0"},           {"--phase", "6"},
      {"--seed", "-1"},    {"--seed", "18446744073709551616"}, {"--seed", "x"},
      {"--format", "xml"}, {"--check", "--seed", "1"}, {"--counts", "--phase", "2"},
      {"rows.txt"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    SCOPED_TRACE(arguments.front());
    ExpectFailure(Rivit(arguments), kUsageStatus, "erilaisetrivit-rivit: ");
  }
  EXPECT_EQ(Succeeded(Rivit({"--seed", "18446744073709551615", "--phase", "1"})).empty(), false);
  EXPECT_NE(Succeeded(Rivit({"--help"})).find("--check"), std::string::npos);
  EXPECT_EQ(Succeeded(Rivit({"--version"})).rfind("erilaisetrivit-rivit ", 0), 0u);
}

TEST(RivitCommand, OutputThatCannotBeWrittenIsAnError) {
  for (const StandardOutput& output : {StandardOutput::File("/dev/full"), StandardOutput::Closed()}) {
    ExpectFailure(Rivit({"--seed", "1", "--format", "json"}, output), kOutputErrorStatus, "standard output");
    ExpectFailure(Rivit({"--seed", "1", "--counts"}, output), kOutputErrorStatus, "standard output");
  }
}

}  // namespace
