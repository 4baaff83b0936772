#include "rivit/jobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "rivit/game.h"

namespace rivit {
namespace {

// Rows requests of every start: rows drawn at random, few rows proven at
// once, rows from circles (130 rows may share 2) and by rotation (300 rows
// may share 3), and small lotteries where both searches prove their rows.
const RowSearch kRowRequests[] = {
    {{40, 7}, 5, 1, 100000, {}}, {{40, 7}, 30, 2, 3000, {}}, {{40, 7}, 130, 3, 1500, {}},
    {{40, 7}, 300, 4, 2000, {}}, {{7, 3}, 7, 5, 5000, {}},   {{12, 5}, 50, 6, 2000, {}},
};

// The rows kept of the two searches each run alone to its end, neither
// capped by the other: a cap only ends a search that can no longer win.
FoundRows uncapped(const RowSearch& request) {
  std::vector<FoundRows> found;
  for (int which = 0; which < kSearches; ++which) {
    RowsSearch search(request, which);
    while (!search.done()) search.advance(request.steps);
    found.push_back(search.result());
  }
  return better_of(found[0], found[1]);
}

void expect_same(const FoundRows& found, const FoundRows& expected) {
  EXPECT_EQ(found.rows, expected.rows);
  EXPECT_EQ(found.score, expected.score);
  EXPECT_EQ(found.steps_taken, expected.steps_taken);
  EXPECT_EQ(found.proven_best, expected.proven_best);
}

// One race, its lanes advanced in a random order, a slice at a time, as
// two threads may run them; and two copies of the race, each running one
// lane, as two Workers do, each lane's news carried to the other copy at a
// random moment after it ends (before the other lane's first slice, in the
// middle, or after its end). Every way gives the rows of the searches alone.
TEST(RowsRace, GivesTheSameRowsHoweverItsLanesAreScheduled) {
  std::mt19937_64 random(20261209);
  for (const RowSearch& request : kRowRequests) {
    SCOPED_TRACE(testing::Message() << request.rows << " rows of " << request.lottery.length << " from "
                                    << request.lottery.numbers);
    const FoundRows expected = uncapped(request);
    expect_same(find_rows(request), expected);

    RowsRace race(request);
    while (!race.done(0) || !race.done(1)) {
      const int which = race.done(0) ? 1 : race.done(1) ? 0 : static_cast<int>(random() % 2);
      race.advance(which);
    }
    expect_same(race.result(), expected);

    RowsRace first(request);
    RowsRace second(request);
    RowsRace* copies[] = {&first, &second};
    std::optional<std::string> undelivered[kSearches];
    const auto lane_running = [&](int which) { return !copies[which]->done(which); };
    while (lane_running(0) || lane_running(1) || undelivered[0] || undelivered[1]) {
      const auto which = static_cast<int>(random() % 2);
      std::optional<std::string>& news_of_other = undelivered[1 - which];
      if (news_of_other && random() % 2 == 0) {
        EXPECT_TRUE(copies[which]->hear(*news_of_other));
        news_of_other.reset();
      } else if (lane_running(which)) {
        copies[which]->advance(which);
        if (!lane_running(which)) undelivered[which] = copies[which]->news(which);
      }
    }
    expect_same(first.result(), expected);
    expect_same(second.result(), expected);
  }
}

TEST(RowsRace, HearsOnlyTheNewsOfALaneOfItsRows) {
  const RowSearch request{{12, 5}, 4, 7, 2000, {}};
  RowsRace ran(request);
  while (!ran.done(0)) ran.advance(0);
  const std::string news = ran.news(0);
  const std::string not_news[] = {
      "",
      "rows",
      "rows 0 1",
      news + " 31",                                          // a row more than asked
      news.substr(0, news.rfind(' ')),                       // a row fewer
      news.substr(0, news.rfind(' ')) + " 4096",             // a row of one number
      news.substr(0, news.rfind(' ')) + " 8191",             // a row of 13 numbers, past the lottery's 12
      "rows 2" + news.substr(std::string("rows 0").size()),  // no such lane
      news + " ",
      "lines" + news.substr(4),
  };
  RowsRace other(request);
  for (const std::string& text : not_news) {
    EXPECT_FALSE(other.hear(text)) << text;
    EXPECT_FALSE(other.done(0)) << text;
  }
  EXPECT_TRUE(other.hear(news));
  EXPECT_TRUE(other.done(0));
  EXPECT_FALSE(other.done(1));
  EXPECT_EQ(other.news(0), news);
}

// A wheel request from a pool of `v` of the lottery's first numbers.
WheelRequest wheel_request(Lottery lottery, int v, Guarantee guarantee, std::uint64_t seed) {
  return {.lottery = lottery, .pool = (RowMask{1} << v) - 1, .guarantee = guarantee, .rows = {}, .seed = seed};
}

const WheelRequest kWheelRequests[] = {
    wheel_request({40, 7}, 11, {3, 4}, 1),
    wheel_request({20, 5}, 14, {3, 3}, 2),
    wheel_request({30, 4}, 12, {2, 3}, 4),
};

// A job by steps takes the steps of the search advanced straight, sliced
// however the job slices it, and gives its rows.
TEST(WheelJob, EndsOnItsStepsWithTheRowsOfTheSearchAdvancedStraight) {
  std::mt19937_64 random(12);
  for (const WheelRequest& request : kWheelRequests) {
    ASSERT_EQ(wheel_request_error(request), std::nullopt);
    for (int trial = 0; trial < 3; ++trial) {
      const std::uint64_t steps = random() % 5000;
      WheelJob job(request, steps, std::nullopt);
      double share = 0;
      while (!job.done()) {
        job.advance();
        EXPECT_GE(job.share_done(0), share);
        share = job.share_done(0);
      }
      EXPECT_EQ(share, 1);
      WheelSearch straight(request);
      straight.advance(steps);
      EXPECT_EQ(job.steps_taken(), straight.steps_taken());
      EXPECT_EQ(job.best().rows, straight.best().rows);
    }
  }
}

// A job by time, whatever steps it is given, ends on the first slice asked
// once its seconds have passed,
// its rows those of the search advanced straight by the same steps.
TEST(WheelJob, EndsWhenItsSecondsHavePassed) {
  for (const WheelRequest& request : kWheelRequests) {
    WheelJob job(request, std::uint64_t{1}, 0.015);
    int slices = 0;
    while (!job.done()) job.advance(0.01 * slices++);
    EXPECT_EQ(slices, 3);
    EXPECT_GT(job.steps_taken(), 1U);
    WheelSearch straight(request);
    straight.advance(job.steps_taken());
    EXPECT_EQ(job.best().rows, straight.best().rows);
  }
}

TEST(WheelJob, EndsEarlyOnRowsProvenFewest) {
  // The Fano plane: 7 rows of 3 cover every pair of 7 numbers.
  WheelJob job(wheel_request({7, 3}, 7, {2, 2}, 1), std::uint64_t{1} << 40, std::nullopt);
  while (!job.done()) job.advance();
  EXPECT_TRUE(job.best().proven);
  EXPECT_EQ(job.best().rows.size(), 7U);
  EXPECT_LT(job.steps_taken(), std::uint64_t{1} << 40);
}

// Each share's pieces counted in a random order, the shares taking turns at
// random: the tallies summed are the count's on the calling thread.
template <typename Count>
typename CountShare<Count>::Tally shared_out(const Count& count, std::size_t counters, std::mt19937_64& random) {
  std::vector<CountShare<Count>> shares;
  for (std::size_t which = 0; which < counters; ++which) shares.emplace_back(count, counters, which);
  for (;;) {
    std::vector<CountShare<Count>*> running;
    for (CountShare<Count>& share : shares) {
      if (!share.done()) running.push_back(&share);
    }
    if (running.empty()) break;
    running[static_cast<std::size_t>(random() % running.size())]->advance();
  }
  return summed(shares);
}

TEST(CountShare, SharesInAnyOrderSumToTheOddsOfTheRows) {
  std::mt19937_64 random(30);
  const Lottery lottery{24, 6};
  for (std::size_t rows = 0; rows < 12; rows += 3) {
    std::vector<RowMask> masks;
    for (std::size_t i = 0; i < rows; ++i) {
      std::vector<int> numbers(24);
      std::iota(numbers.begin(), numbers.end(), 1);
      std::shuffle(numbers.begin(), numbers.end(), random);
      numbers.resize(6);
      masks.push_back(mask_of(numbers));
    }
    const Odds expected = odds_of(masks, lottery);
    const OddsCount count(masks, lottery);
    for (const std::size_t counters : {1U, 2U, 3U, 7U}) {
      const Odds odds = count.odds(shared_out(count, counters, random));
      EXPECT_EQ(odds.best, expected.best) << rows << " rows, " << counters << " counters";
      EXPECT_EQ(odds.guaranteed, expected.guaranteed);
    }
  }
}

TEST(CountShare, SharesInAnyOrderSumToTheTierOddsOfTheLines) {
  std::mt19937_64 random(31);
  int games = 0;
  for (const Game& game : built_in_games()) {
    if (game.main.numbers > 50) continue;
    std::vector<GameLine> lines;
    for (int i = 0; i < 3; ++i) {
      GameLine line;
      std::vector<int> numbers(static_cast<std::size_t>(game.main.numbers));
      std::iota(numbers.begin(), numbers.end(), 1);
      std::shuffle(numbers.begin(), numbers.end(), random);
      for (int n = 0; n < game.line; ++n) line.main.add(numbers[static_cast<std::size_t>(n)]);
      // The second drum's numbers in a run, a line's starting where the one before began + 1.
      for (int n = 1; n <= game.second.drawn; ++n) {
        line.second.add(n + i % (game.second.numbers - game.second.drawn + 1));
      }
      lines.push_back(line);
    }
    const TierCount count(game, lines);
    if (tier_odds_problem(count)) continue;
    ++games;
    const TierOdds expected = tier_odds_of(game, lines);
    for (const std::size_t counters : {1U, 2U, 5U}) {
      const TierOdds odds = count.odds(shared_out(count, counters, random));
      EXPECT_EQ(odds.tiers, expected.tiers) << game.name << ", " << counters << " counters";
      EXPECT_EQ(odds.none, expected.none) << game.name;
    }
  }
  EXPECT_GE(games, 3);
}

}  // namespace
}  // namespace rivit
