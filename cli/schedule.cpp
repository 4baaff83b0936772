#include "cli/schedule.h"

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

namespace cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);

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
    rivit::FoundRows& result = found[static_cast<std::size_t>(which)].emplace(search.result());
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

rivit::Odds count_odds(std::span<const rivit::RowMask> rows, rivit::Lottery lottery, ProgressLine& progress) {
  const rivit::OddsCount count(rows, lottery);
  std::array<rivit::OddsCount::Counter, 2> counters{rivit::OddsCount::Counter(count), rivit::OddsCount::Counter(count)};
  std::atomic<std::size_t> next_piece{0};
  std::atomic<std::uint64_t> draws_done{0};
  const auto draws = static_cast<double>(rivit::choose(lottery.numbers, lottery.length));
  const auto run = [&](rivit::OddsCount::Counter& counter, bool reports) {
    auto reported = std::chrono::steady_clock::now();
    for (std::size_t i = next_piece++; i < count.pieces(); i = next_piece++) {
      counter.count(i);
      draws_done += count.draws_of(i);
      if (!reports || std::chrono::steady_clock::now() - reported < kProgressInterval) continue;
      char text[40];
      std::snprintf(text, sizeof text, "draws counted: %.0f %%", 100 * static_cast<double>(draws_done) / draws);
      progress.Show(text);
      reported = std::chrono::steady_clock::now();
    }
  };
  std::thread helper(run, std::ref(counters[1]), false);
  run(counters[0], true);
  helper.join();
  rivit::Tally sum;
  for (const rivit::OddsCount::Counter& counter : counters) sum.add(counter.tally());
  return count.odds(sum);
}

}  // namespace cli
