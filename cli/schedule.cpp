#include "cli/schedule.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rivit/report/summary.h"

namespace cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);
// The most steps of a wheel search between two looks at the clock.
constexpr std::uint64_t kWheelSlice = 20000;

// The searches' best scores, each published by its own thread, and the best
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

}  // namespace

rivit::FoundRows search_rows(const rivit::RowSearch& request, ProgressLine& progress) {
  std::vector<rivit::RowsSearch> searches;
  searches.reserve(rivit::kSearches);
  for (int which = 0; which < rivit::kSearches; ++which) searches.emplace_back(request, which);
  std::array<std::optional<rivit::FoundRows>, rivit::kSearches> found;
  // The fewest steps after which a search's rows proved best: the other
  // cannot win past them.
  std::atomic<std::uint64_t> proven_at{std::numeric_limits<std::uint64_t>::max()};
  SearchProgress shown(progress);
  const std::uint64_t slice = rivit::steps_per_slice(request.rows);
  const auto run = [&](int which) {
    rivit::RowsSearch& search = searches[static_cast<std::size_t>(which)];
    while (!search.done()) {
      search.cap(proven_at.load());
      search.advance(slice, progress.Elapsed());
      shown.offer(which, search.best_score(), search.steps_taken());
    }
    found[static_cast<std::size_t>(which)] = search.result();
    const rivit::FoundRows& result = *found[static_cast<std::size_t>(which)];
    if (!result.proven_best) return;
    std::uint64_t fewest = proven_at.load();
    while (result.steps_taken < fewest && !proven_at.compare_exchange_weak(fewest, result.steps_taken)) {
    }
  };
  std::thread helper(run, 1);
  run(0);
  helper.join();
  return rivit::better_of(*found[0], *found[1]);
}

namespace {

// Every piece of `count`, shared out between two counters on two threads,
// their tallies summed; `weight_of(i)`, piece i's share of the work, for
// the progress line.
template <typename Count, typename Tally, typename Weight>
Tally count_every_piece(const Count& count, ProgressLine& progress, Weight weight_of) {
  using Counter = typename Count::Counter;
  std::array<Counter, 2> counters{Counter(count), Counter(count)};
  std::atomic<std::size_t> next_piece{0};
  std::atomic<std::uint64_t> work_done{0};
  double work = 0;
  for (std::size_t i = 0; i < count.pieces(); ++i) work += static_cast<double>(weight_of(i));
  const auto run = [&](Counter& counter, bool reports) {
    auto reported = std::chrono::steady_clock::now();
    for (std::size_t i = next_piece++; i < count.pieces(); i = next_piece++) {
      counter.count(i);
      work_done += weight_of(i);
      if (!reports || std::chrono::steady_clock::now() - reported < kProgressInterval) continue;
      char text[40];
      std::snprintf(text, sizeof text, "counted: %.0f %%", 100 * static_cast<double>(work_done) / work);
      progress.Show(text);
      reported = std::chrono::steady_clock::now();
    }
  };
  std::thread helper(run, std::ref(counters[1]), false);
  run(counters[0], true);
  helper.join();
  Tally sum;
  for (const Counter& counter : counters) sum.add(counter.tally());
  return sum;
}

}  // namespace

rivit::Tally count_pieces(const rivit::OddsCount& count, ProgressLine& progress) {
  return count_every_piece<rivit::OddsCount, rivit::Tally>(count, progress,
                                                           [&count](std::size_t i) { return count.draws_of(i); });
}

rivit::TierTally count_pieces(const rivit::TierCount& count, ProgressLine& progress) {
  return count_every_piece<rivit::TierCount, rivit::TierTally>(count, progress,
                                                               [&count](std::size_t i) { return count.work_of(i); });
}

FoundWheel search_wheel(const rivit::WheelRequest& request, std::optional<std::uint64_t> steps,
                        std::optional<double> seconds, ProgressLine& progress) {
  rivit::WheelSearch search(request);
  const std::uint64_t last =
      seconds ? std::numeric_limits<std::uint64_t>::max() : steps.value_or(rivit::default_wheel_steps(request));
  // A 64th of the default steps is a few hundredths of a second, whatever a step costs.
  const std::uint64_t slice = std::max<std::uint64_t>(
      1, std::min<std::uint64_t>(std::min(last, rivit::default_wheel_steps(request)) / 64, kWheelSlice));
  while (!search.done() && search.steps_taken() < last && !(seconds && progress.Elapsed() >= *seconds)) {
    search.advance(std::min(slice, last - search.steps_taken()));
    const rivit::WheelResult& best = search.best();
    progress.Show("best: " + std::to_string(best.rows.size()) + " rows, " + std::to_string(best.uncovered) +
                  " sets uncovered; " + std::to_string(search.steps_taken()) + " steps");
  }
  return {search.best(), search.steps_taken()};
}

}  // namespace cli
