// Microbenchmarks of the row search's steps, each on a runtime of its own
// with a fixed seed: drawing a candidate, the pair-by-pair overlap of two
// rows, the largest overlap with 3000 stored rows (its time per stored row is
// the figure to watch), the store step, and a whole run. The largest overlap
// and the whole run are measured on every path of the overlap kernel that
// the CPU runs; the others are skipped.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/operations.h"
#include "runtime/runtime.h"
#include "search/driver.h"
#include "search/overlap_paths.h"
#include "search/rows.h"
#include "search/storage.h"
#include "search/test_search.h"

namespace {

constexpr std::uint64_t kSeed = 20260408;
constexpr int kStoredRows = 3000;
// Candidates measured in turn, so that no one row's numbers favour a run.
constexpr std::size_t kCandidates = 64;

// Makes the overlap kernel take the path numbered by the benchmark's
// argument (overlap_paths) while it lives; the path in use before comes back
// after it. Skips the benchmark when the CPU cannot run the path.
class ForcedPath {
 public:
  explicit ForcedPath(benchmark::State& state)
      : before_(search::overlap_path()), path_(search::overlap_paths()[static_cast<std::size_t>(state.range(0))]) {
    state.SetLabel(std::string(path_.name));
    if (!search::force_overlap_path(path_)) state.SkipWithError("this CPU cannot run the path");
  }
  ForcedPath(const ForcedPath&) = delete;
  ForcedPath& operator=(const ForcedPath&) = delete;
  ~ForcedPath() { search::force_overlap_path(before_); }

 private:
  const search::OverlapPath& before_;
  const search::OverlapPath& path_;
};

const int kPathCount = static_cast<int>(search::overlap_paths().size());

using Search = search::test::BootedSearch;

// Stores `count` drawn rows, whatever their overlap.
void StoreRows(Search& s, int count) {
  for (int i = 0; i < count; ++i) {
    search::arvorivi(s.g);
    search::store_row(s.g);
  }
}

std::vector<rt::Value> DrawCandidates(Search& s) {
  std::vector<rt::Value> candidates;
  for (std::size_t i = 0; i < kCandidates; ++i) {
    search::arvorivi(s.g);
    candidates.push_back(s.g.arvotturivi);
  }
  return candidates;
}

void BM_arvorivi(benchmark::State& state) {
  Search s(kSeed);
  for (auto _ : state) {
    search::arvorivi(s.g);
    benchmark::DoNotOptimize(s.g.arvotturivi);
  }
}
BENCHMARK(BM_arvorivi);

void BM_montaoikein(benchmark::State& state) {
  Search s(kSeed);
  StoreRows(s, 1);
  const rt::Value stored = rt::Element(s.g.rivit, 1);
  search::arvorivi(s.g);
  for (auto _ : state) benchmark::DoNotOptimize(search::montaoikein(s.g, stored, s.g.arvotturivi));
}
BENCHMARK(BM_montaoikein);

void BM_enitenoikein(benchmark::State& state) {
  const ForcedPath path(state);
  Search s(kSeed);
  StoreRows(s, kStoredRows);
  const std::vector<rt::Value> candidates = DrawCandidates(s);
  std::size_t next = 0;
  for (auto _ : state) {
    s.g.arvotturivi = candidates[next++ % kCandidates];
    benchmark::DoNotOptimize(search::enitenoikein(s.g));
  }
  state.counters["per_stored_row"] = benchmark::Counter(
      kStoredRows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_enitenoikein)->DenseRange(0, kPathCount - 1);

// rivit starts afresh after every kStoredRows stores, so that the memory of a
// long benchmark stays that of a run.
void BM_store_row(benchmark::State& state) {
  Search s(kSeed);
  const std::vector<rt::Value> candidates = DrawCandidates(s);
  std::size_t next = 0;
  for (auto _ : state) {
    s.g.arvotturivi = candidates[next++ % kCandidates];
    search::store_row(s.g);
    if (rt::Length(s.g.rivit) == kStoredRows) {
      state.PauseTiming();
      search::set_up(s.g);
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_store_row);

void BM_whole_run(benchmark::State& state) {
  const ForcedPath path(state);
  for (auto _ : state) benchmark::DoNotOptimize(search::run_search(kSeed));
}
BENCHMARK(BM_whole_run)->DenseRange(0, kPathCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
