// What a complete run of erilaisetrivit looks like from outside, for the
// tests that start the real executable: five report lines, phases 1 to 5 in
// order, row counts that never fall and a first count that five pairwise
// disjoint rows bound; nothing on standard error; exit status 0. The row
// counts differ from run to run, so this is the whole of what can be
// compared between runs.

#ifndef ERILAISETRIVIT_TESTS_COMPLETE_RUN_H_
#define ERILAISETRIVIT_TESTS_COMPLETE_RUN_H_

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/child_process.h"

namespace tests {

// The row counts of a complete run's output, one per phase; a failure of the
// calling test for any other output.
inline std::vector<long> RowCounts(const std::string& output) {
  static const std::regex kLine("Vahintaan ([1-5]) saa noin ([1-9][0-9]*):lla rivilla");
  std::vector<long> counts;
  std::size_t start = 0;
  for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = output.substr(start, end - start);
    std::smatch match;
    if (!std::regex_match(line, match, kLine)) {
      ADD_FAILURE() << "not a report line: \"" << line << "\"";
      continue;
    }
    EXPECT_EQ(std::stoi(match[1].str()), static_cast<int>(counts.size()) + 1) << line;
    counts.push_back(std::stol(match[2].str()));
  }
  EXPECT_EQ(start, output.size()) << "unterminated last line";
  return counts;
}

inline void ExpectCompleteRun(const ChildResult& result) {
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, 0) << result;
  EXPECT_EQ(result.standard_error, "");
  const std::vector<long> counts = RowCounts(result.standard_output);
  ASSERT_EQ(counts.size(), 5u) << result;
  // At most five rows of seven numbers from forty can be pairwise disjoint.
  EXPECT_GE(counts[0], 1);
  EXPECT_LE(counts[0], 5);
  for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_LE(counts[i - 1], counts[i]) << result;
}

}  // namespace tests

#endif  // ERILAISETRIVIT_TESTS_COMPLETE_RUN_H_
