#include "cli/schedule.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rivit/report/summary.h"

namespace cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);
// The threads that share a count, as the two searches of a race do.
constexpr std::size_t kThreads = 2;

// The lanes' best scores, each published by its own thread, and the best
// of them shown on the progress line.
class SearchProgress {
 public:
  explicit SearchProgress(ProgressLine& line) : line_(line) {}

  void offer(int which, const std::optional<rivit::Score>& score, std::uint64_t steps) {
    if (!score) return;
    const std::lock_guard lock(mutex_);
    best_[static_cast<std::size_t>(which)] = Best{*score, steps};
    const auto& [first, second] = best_;
    const std::optional<Best>& shown = !second || (first && !(second->score < first->score)) ? first : second;
    line_.Show("best: " + rivit::score_text(shown->score) + "; " + std::to_string(shown->steps) + " steps");
  }

 private:
  struct Best {
    rivit::Score score;
    std::uint64_t steps;
  };
  ProgressLine& line_;
  std::mutex mutex_;
  std::array<std::optional<Best>, rivit::kSearches> best_;
};

// The shares of `count`, one a thread, their tallies summed; the first
// thread's share shown on the progress line.
template <typename Count>
auto count_shared(const Count& count, ProgressLine& progress) {
  std::vector<rivit::CountShare<Count>> shares;
  for (std::size_t which = 0; which < kThreads; ++which) shares.emplace_back(count, kThreads, which);
  const auto run = [&progress](rivit::CountShare<Count>& share, bool reports) {
    auto reported = std::chrono::steady_clock::now();
    while (!share.done()) {
      share.advance();
      if (!reports || std::chrono::steady_clock::now() - reported < kProgressInterval) continue;
      char text[40];
      std::snprintf(text, sizeof text, "counted: %.0f %%", 100 * share.share_done());
      progress.Show(text);
      reported = std::chrono::steady_clock::now();
    }
  };
  std::thread helper(run, std::ref(shares[1]), false);
  run(shares[0], true);
  helper.join();
  return rivit::summed(shares);
}

}  // namespace

rivit::FoundRows search_rows(const rivit::RowSearch& request, ProgressLine& progress) {
  rivit::RowsRace race(request);
  SearchProgress shown(progress);
  const auto run = [&](int which) {
    while (!race.done(which)) {
      race.advance(which, progress.Elapsed());
      shown.offer(which, race.best_score(which), race.steps_taken(which));
    }
  };
  std::thread helper(run, 1);
  run(0);
  helper.join();
  return race.result();
}

rivit::Tally count_pieces(const rivit::OddsCount& count, ProgressLine& progress) {
  return count_shared(count, progress);
}

rivit::TierTally count_pieces(const rivit::TierCount& count, ProgressLine& progress) {
  return count_shared(count, progress);
}

void search_wheel(rivit::WheelJob& job, ProgressLine& progress) {
  while (!job.done()) {
    job.advance(progress.Elapsed());
    const rivit::WheelResult& best = job.best();
    progress.Show("best: " + std::to_string(best.rows.size()) + " rows, " + std::to_string(best.uncovered) +
                  " sets uncovered; " + std::to_string(job.steps_taken()) + " steps");
  }
}

}  // namespace cli
