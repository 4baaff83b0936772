#include "rivit/optimise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "rivit/jobs.h"

namespace rivit {
namespace {

// The score counted the plain way: every pair's shared numbers, every
// number's rows.
Score pair_by_pair(const std::vector<RowMask>& rows, Lottery lottery) {
  std::vector<std::uint64_t> pairs_sharing(kLongestRow + 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      int shared = 0;
      for (int n = 1; n <= lottery.numbers; ++n) shared += (rows[i] & rows[j] & number_bit(n)) != 0 ? 1 : 0;
      ++pairs_sharing.at(static_cast<std::size_t>(shared));
    }
  }
  Score score;
  for (int shared = kLongestRow; shared >= 0 && score.pairs_at_largest == 0; --shared) {
    score = {shared, pairs_sharing[static_cast<std::size_t>(shared)], 0};
  }
  if (score.pairs_at_largest == 0) score.largest_shared = 0;
  int most = 0;
  int least = static_cast<int>(rows.size());
  for (int n = 1; n <= lottery.numbers; ++n) {
    const auto uses = static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [n](RowMask row) { return (row & number_bit(n)) != 0; }));
    most = std::max(most, uses);
    least = std::min(least, uses);
  }
  score.usage_range = most - least;
  return score;
}

// Every row has the lottery's length and its numbers, and the score and the
// proof are what the plain count says.
void expect_honest(const FoundRows& found, const RowSearch& search) {
  ASSERT_EQ(found.rows.size(), search.rows);
  const RowMask outside = search.lottery.numbers == kMostNumbers ? 0 : ~RowMask{0} << search.lottery.numbers;
  for (const RowMask row : found.rows) {
    EXPECT_EQ(std::popcount(row), search.lottery.length);
    EXPECT_EQ(row & outside, 0U);
  }
  EXPECT_EQ(found.score, pair_by_pair(found.rows, search.lottery));
  EXPECT_EQ(found.score, score_of(found.rows, search.lottery));
  EXPECT_LE(found.steps_taken, search.steps);
}

TEST(FindRows, ScoresAreThePlainCountAndRepeatForTheSameSeed) {
  const RowSearch searches[] = {
      {{40, 7}, 1, 5, 1000, {}},   {{40, 7}, 30, 6, 3000, {}}, {{40, 7}, 120, 7, 1000, {}},
      {{64, 10}, 40, 8, 1000, {}}, {{12, 5}, 50, 9, 1000, {}}, {{11, 2}, 55, 10, 2000, {}},
      {{4, 2}, 6, 11, 1000, {}},   {{40, 7}, 5, 12, 1000, {}}, {{40, 7}, 300, 13, 4000, {}},
  };
  for (const RowSearch& search : searches) {
    SCOPED_TRACE(testing::Message() << search.rows << " rows of " << search.lottery.length << " from "
                                    << search.lottery.numbers);
    const FoundRows found = find_rows(search);
    expect_honest(found, search);
    EXPECT_EQ(find_rows(search).rows, found.rows);
  }
}

// Where the bound says no rows can do better, the search stops there; where
// it cannot say so, the search takes every step.
TEST(FindRows, StopsEarlyExactlyWhenTheBoundIsMet) {
  struct Case {
    RowSearch search;
    Score best;  // the best score there is, when the bound proves it
  };
  const Case proven[] = {
      // Disjoint rows, a number left over (range 1), or none (range 0).
      {{{40, 7}, 5, 1, 100000, {}}, {0, 10, 1}},
      {{{40, 5}, 8, 2, 100000, {}}, {0, 28, 0}},
      // Seven rows of 3 from 7, any two sharing one number (the Fano plane):
      // no more than two can share none.
      {{{7, 3}, 7, 3, 100000, {}}, {1, 21, 0}},
      // Every row of 2 from 4: a row shares a number with all rows but one.
      {{{4, 2}, 6, 4, 100000, {}}, {1, 12, 0}},
      // One row uses 7 numbers of 40.
      {{{40, 7}, 1, 5, 100000, {}}, {0, 0, 1}},
  };
  for (const Case& c : proven) {
    SCOPED_TRACE(testing::Message() << c.search.rows << " rows of " << c.search.lottery.length << " from "
                                    << c.search.lottery.numbers);
    EXPECT_EQ(least_score(c.search.lottery, c.search.rows), c.best);
    const FoundRows found = find_rows(c.search);
    expect_honest(found, c.search);
    EXPECT_EQ(found.score, c.best);
    EXPECT_TRUE(found.proven_best);
    EXPECT_LT(found.steps_taken, c.search.steps);
  }
  // 40 rows of 7 from 40: more than the 34 of the Johnson bound, so two
  // share 2 numbers, and the sum of all shares, 40 C(7, 2), asks at least
  // 840 - C(40, 2) = 60 pairs at 2; a short search finds more.
  const RowSearch open{{40, 7}, 40, 6, 2000, {}};
  EXPECT_EQ(least_score(open.lottery, open.rows), (Score{2, 60, 0}));
  const FoundRows found = find_rows(open);
  expect_honest(found, open);
  EXPECT_FALSE(found.proven_best);
  EXPECT_GT(found.score, (Score{2, 60, 0}));
  EXPECT_EQ(found.steps_taken, open.steps);
}

// Many rows start from rows built to share few numbers (from circles, or by
// rotation), and meet the least largest shared count there is in few steps.
TEST(FindRows, ManyRowsMeetTheLeastLargestShared) {
  const RowSearch searches[] = {
      {{40, 7}, 130, 1, 2000, {}},
      {{40, 7}, 600, 2, 20000, {}},
      {{49, 6}, 400, 3, 8000, {}},
  };
  for (const RowSearch& search : searches) {
    SCOPED_TRACE(testing::Message() << search.rows << " rows of " << search.lottery.length << " from "
                                    << search.lottery.numbers);
    const FoundRows found = find_rows(search);
    expect_honest(found, search);
    EXPECT_EQ(found.score.largest_shared, least_score(search.lottery, search.rows).largest_shared);
  }
}

// The rows that searches find, recorded from the Linux build, one search of
// each start: rows drawn at random, rows from circles (130 rows may share
// 2), rows by rotation (300 rows may share 3). Every build and every way of
// scheduling the two searches must find the same: the hash is FNV-1a of the
// rows as the command writes them, one a line, each in ascending order.
TEST(FindRows, RecordedRowsForASeedAndSteps) {
  struct Recorded {
    std::size_t rows;
    std::uint64_t steps;
    std::uint64_t hash;
  };
  const Recorded recorded[] = {
      {30, 3000, 0x1b525a6b517427f4U},
      {130, 3000, 0x56592567a14a3579U},
      {300, 8000, 0x7d357e808abdd238U},
  };
  for (const Recorded& r : recorded) {
    const FoundRows found = find_rows({{40, 7}, r.rows, 1, r.steps, {}});
    std::string text;
    for (const RowMask row : found.rows) {
      std::string line;
      for (const int n : row_of(row)) line.append(line.empty() ? "" : " ").append(std::to_string(n));
      text += line + "\n";
    }
    std::uint64_t hash = 0xcbf29ce484222325U;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3U;
    EXPECT_EQ(hash, r.hash) << r.rows << " rows:\n" << text;
  }
}

// The two searches taken in turns, a few steps at a time, the way two
// workers or threads may run them, the one that proves best first capping
// the other: the rows are those of find_rows.
TEST(FindRows, TheRowsDoNotDependOnHowTheSearchesAreScheduled) {
  const RowSearch requests[] = {
      {{40, 7}, 5, 1, 100000, {}}, {{40, 7}, 30, 2, 3000, {}}, {{40, 7}, 130, 3, 1500, {}},
      {{40, 7}, 300, 4, 2000, {}}, {{7, 3}, 7, 5, 5000, {}},   {{12, 5}, 50, 6, 2000, {}},
  };
  for (const RowSearch& request : requests) {
    SCOPED_TRACE(testing::Message() << request.rows << " rows of " << request.lottery.length << " from "
                                    << request.lottery.numbers);
    std::vector<RowsSearch> searches;
    for (int which = 0; which < kSearches; ++which) searches.emplace_back(request, which);
    const std::uint64_t slices[kSearches] = {7, 113};
    std::optional<FoundRows> found[kSearches];
    while (!found[0] || !found[1]) {
      for (std::size_t i = 0; i < 2; ++i) {
        if (found[i]) continue;
        searches[i].advance(slices[i]);
        if (!searches[i].done()) continue;
        found[i] = searches[i].result();
        if (found[i]->proven_best) searches[1 - i].cap(found[i]->steps_taken);
      }
    }
    const FoundRows& kept = better_of(*found[0], *found[1]);
    const FoundRows alone = find_rows(request);
    expect_honest(kept, request);
    EXPECT_EQ(kept.rows, alone.rows);
    EXPECT_EQ(kept.score, alone.score);
    EXPECT_EQ(kept.steps_taken, alone.steps_taken);
  }
}

TEST(JohnsonBound, IsThePublishedFigureFor7From40) {
  EXPECT_EQ(johnson_bound({40, 7}, 0), 5U);
  EXPECT_EQ(johnson_bound({40, 7}, 1), 34U);
  EXPECT_EQ(johnson_bound({40, 7}, 2), 257U);
  EXPECT_EQ(johnson_bound({40, 7}, 3), 2525U);
  EXPECT_EQ(johnson_bound({40, 7}, 6), choose(40, 7));
}

}  // namespace
}  // namespace rivit
