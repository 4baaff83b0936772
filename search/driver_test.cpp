#include "search/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/operations.h"
#include "runtime/test_values.h"
#include "search/test_search.h"
#include "tests/golden_counts.h"

namespace search {
namespace {

using rt::Integer;
using rt::Value;
using rt::test::IntegersOf;
using Lines = std::vector<std::string>;

// One attempt as the observer saw it, with the variables as it left them.
struct SeenAttempt {
  Integer yritys;     // the number of the next attempt
  Integer oikein;     // the tolerance the attempt was measured against
  Integer yrityksia;  // the last attempt number of its phase
  bool accepted;
  bool ends_phase;
  Value candidate;  // the list arvotturivi held
  Integer stored;   // the length of rivit afterwards
};

struct ObservedRun {
  SearchResult result;
  std::vector<SeenAttempt> attempts;
};

ObservedRun Search(std::uint64_t seed) {
  ObservedRun run;
  run.result = run_search(seed, [&run](const Globals& g, const Attempt& attempt) {
    run.attempts.push_back({g.yritys.integer(), g.oikein.integer(), g.yrityksia.integer(), attempt.accepted,
                            attempt.ends_phase, g.arvotturivi, rt::Length(g.rivit)});
  });
  return run;
}

// The numbers of a row as bits, so that the numbers two rows share are the
// bits their masks share. REQUIRES: a row of numbers from 1 to 63.
std::uint64_t NumbersOf(const Value& row) {
  std::uint64_t mask = 0;
  for (const Integer n : IntegersOf(row)) mask |= std::uint64_t{1} << n;
  return mask;
}

int Shared(std::uint64_t a, std::uint64_t b) { return std::popcount(a & b); }

constexpr std::uint64_t kSeed = 1;

// The phases: tolerance, first and last attempt number.
struct Phase {
  Integer oikein;
  Integer first;
  Integer last;
};
constexpr Phase kPhaseTable[] = {{0, 1, 1000}, {1, 1001, 2000}, {2, 2001, 4000}, {3, 4001, 8000}, {4, 8001, 16000}};

TEST(Driver, AttemptNumbersRunOnAcrossPhasesWithDoublingBudgets) {
  const ObservedRun run = Search(kSeed);
  ASSERT_EQ(run.attempts.size(), 16000u);
  std::size_t i = 0;
  for (const Phase& phase : kPhaseTable) {
    SCOPED_TRACE(phase.oikein);
    for (Integer attempt = phase.first; attempt <= phase.last; ++attempt, ++i) {
      const SeenAttempt& a = run.attempts[i];
      ASSERT_EQ(a.yritys, attempt + 1);
      ASSERT_EQ(a.oikein, phase.oikein);
      ASSERT_EQ(a.yrityksia, phase.last);
      ASSERT_EQ(a.ends_phase, attempt == phase.last);
    }
  }
}

TEST(Driver, FirstPhaseKeepsAtMostFivePairwiseDisjointRows) {
  const ObservedRun run = Search(kSeed);
  EXPECT_TRUE(run.attempts.front().accepted);
  std::vector<std::uint64_t> rows;
  for (const SeenAttempt& a : run.attempts) {
    if (a.oikein == 0 && a.accepted) rows.push_back(NumbersOf(a.candidate));
  }
  EXPECT_GE(rows.size(), 1u);
  EXPECT_LE(rows.size(), 5u);
  std::uint64_t all = 0;
  for (const std::uint64_t row : rows) {
    EXPECT_EQ(all & row, 0u);
    all |= row;
  }
}

// So every stored row shares at most k numbers with each row stored after
// it, k the tolerance of the later row's phase, and no candidate is dropped
// that could have been kept.
TEST(Driver, KeepsACandidateExactlyWhenItSharesAtMostTheToleranceWithEachEarlierRow) {
  const ObservedRun run = Search(kSeed);
  std::vector<std::uint64_t> earlier;
  for (const SeenAttempt& a : run.attempts) {
    const std::uint64_t candidate = NumbersOf(a.candidate);
    int most = 0;
    for (const std::uint64_t row : earlier) most = std::max(most, Shared(row, candidate));
    ASSERT_EQ(a.accepted, most <= a.oikein) << "attempt " << a.yritys - 1;
    if (a.accepted) earlier.push_back(candidate);
  }
}

TEST(Driver, StoredRowsAreTheAcceptedCandidatesInDrawOrderAsSeparateLists) {
  const ObservedRun run = Search(kSeed);
  const rt::List& rivit = run.result.rivit.list();
  std::size_t accepted = 0;
  for (const SeenAttempt& a : run.attempts) {
    ASSERT_EQ(rt::Length(a.candidate), 7);
    if (!a.accepted) {
      ASSERT_EQ(a.stored, static_cast<Integer>(accepted));
      continue;
    }
    ++accepted;
    ASSERT_EQ(a.stored, static_cast<Integer>(accepted));
    ASSERT_LE(accepted, rivit.size());
    const Value& row = rivit[accepted - 1];
    ASSERT_EQ(IntegersOf(row), IntegersOf(a.candidate)) << "row " << accepted;
    ASSERT_NE(row, a.candidate);
  }
  EXPECT_EQ(rivit.size(), accepted);
  // Every row a list of its own.
  for (std::size_t i = 1; i < rivit.size(); ++i) ASSERT_NE(rivit[i - 1], rivit[i]);
}

TEST(Driver, OneLinePerPhaseWithTheRowsStoredByItsEnd) {
  const ObservedRun run = Search(kSeed);
  ASSERT_EQ(run.result.lines.size(), 5u);
  for (std::size_t p = 0; p < 5; ++p) {
    const auto last = static_cast<std::size_t>(kPhaseTable[p].last);
    EXPECT_EQ(run.result.lines[p], tests::ReportLine(p + 1, static_cast<std::size_t>(run.attempts[last - 1].stored)));
  }
}

// On every path of the overlap kernel, and in the Windows programs too.
TEST(Driver, GoldenLinesOfThreeSeedsOnEveryPath) {
  const int paths = test::ForEachOverlapPath([](const OverlapPath& path) {
    SCOPED_TRACE(path.name);
    for (const auto& [seed, rows] : tests::kGoldenCounts) {
      EXPECT_EQ(run_search(seed).lines, tests::ReportLines(rows)) << "seed " << seed;
    }
  });
  EXPECT_GT(paths, 0);
}

}  // namespace
}  // namespace search
