// The row optimiser's strength: for 7 of 40 and 6 of 49, M rows searched for
// ROWS_BENCH_SECONDS seconds each (60 by default) with the most numbers two
// rows may share as the target, side by side with the first M rows of the
// program's own greedy run on the same lottery (7 of 40 only), the Johnson
// bound and the largest published construction. Fails when a target is
// missed.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rivit/jobs.h"
#include "rivit/optimise.h"
#include "rivit/run.h"

namespace {

struct Case {
  rivit::Lottery lottery;
  std::size_t rows;
  int target;  // the most numbers two rows may share
  const char* published;
};

// 7 of 40: the sizes of the best codes in the published tables of
// constant-weight codes, A(40, 12, 7) >= 25, A(40, 10, 7) >= 189, A(40, 8, 7)
// >= 1230. 6 of 49: rows toward the Johnson bound (73 for 1 shared, 857 for
// 2): 62 and 520, near the most that a search of some seconds reached.
const Case kCases[] = {
    {{40, 7}, 24, 1, "25"}, {{40, 7}, 130, 2, "189"}, {{40, 7}, 900, 3, "1230"},
    {{49, 6}, 62, 1, "-"},  {{49, 6}, 520, 2, "-"},
};

constexpr std::uint64_t kSeed = 1;
constexpr std::uint64_t kGreedySeed = 1;

double seconds_per_case() {
  const char* text = std::getenv("ROWS_BENCH_SECONDS");
  return text == nullptr ? 60.0 : std::strtod(text, nullptr);
}

// The greedy run's first `count` rows, scored; nothing for other lotteries
// than the program's or more rows than it kept.
std::optional<rivit::Score> greedy_score(const rivit::Run& run, const Case& c) {
  if (c.lottery != rivit::kProgramLottery || run.rows.size() < c.rows) return std::nullopt;
  std::vector<rivit::RowMask> masks;
  for (std::size_t i = 0; i < c.rows; ++i) masks.push_back(rivit::mask_of(run.rows[i]));
  return rivit::score_of(masks, c.lottery);
}

std::string shared_and_pairs(const rivit::Score& score) {
  return std::to_string(score.largest_shared) + " (" + std::to_string(score.pairs_at_largest) + " pairs)";
}

struct TimedRows {
  rivit::FoundRows found;
  std::optional<double> reached_at;  // the seconds until a search first met the target
};

// The race of a case's two searches, a lane a thread, for `seconds`, as
// the command runs it, noting between slices when each lane met the target.
TimedRows search_for(const Case& c, double seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto elapsed = [start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  rivit::RowsRace race({c.lottery, c.rows, kSeed, 0, seconds});
  std::array<std::optional<double>, rivit::kSearches> reached_at;
  const auto run = [&](int which) {
    while (!race.done(which)) {
      race.advance(which, elapsed());
      const std::optional<rivit::Score> best = race.best_score(which);
      auto& reached = reached_at[static_cast<std::size_t>(which)];
      if (!reached && best && best->largest_shared <= c.target) reached = elapsed();
    }
  };
  std::thread helper(run, 1);
  run(0);
  helper.join();
  const auto& [first, second] = reached_at;
  return {race.result(), first && second ? std::min(*first, *second) : first ? first : second};
}

}  // namespace

int main() {
  const double seconds = seconds_per_case();
  const rivit::Run greedy = rivit::record_run(kGreedySeed);
  std::printf("rows optimiser: %.0f s a case, seed %llu; greedy: the program's run with seed %llu\n", seconds,
              static_cast<unsigned long long>(kSeed), static_cast<unsigned long long>(kGreedySeed));
  std::printf("%-8s %5s %6s  %-18s %8s %9s  %-18s %8s %9s\n", "lottery", "rows", "target", "optimiser shared",
              "to target", "steps", "greedy shared", "Johnson", "published");
  bool missed = false;
  for (const Case& c : kCases) {
    const TimedRows timed = search_for(c, seconds);
    const rivit::FoundRows& found = timed.found;
    const std::optional<double>& reached_at = timed.reached_at;
    const std::optional<rivit::Score> greedy_rows = greedy_score(greedy, c);
    const std::string lottery = std::to_string(c.lottery.length) + "/" + std::to_string(c.lottery.numbers);
    const std::string to_target = reached_at ? std::to_string(*reached_at).substr(0, 6) + " s" : "missed";
    std::printf("%-8s %5zu %6d  %-18s %8s %9llu  %-18s %8llu %9s\n", lottery.c_str(), c.rows, c.target,
                shared_and_pairs(found.score).c_str(), to_target.c_str(),
                static_cast<unsigned long long>(found.steps_taken),
                greedy_rows ? shared_and_pairs(*greedy_rows).c_str() : "-",
                static_cast<unsigned long long>(rivit::johnson_bound(c.lottery, c.target)), c.published);
    std::fflush(stdout);
    missed = missed || found.score.largest_shared > c.target;
  }
  if (missed) std::printf("a target was missed\n");
  return missed ? 1 : 0;
}
