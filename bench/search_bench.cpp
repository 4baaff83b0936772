// Microbenchmarks of the row search's steps, each on a runtime of its own
// with a fixed seed: drawing a candidate, the pair-by-pair overlap of two
// rows, the largest overlap with 3000 stored rows (its time per stored row is
// the figure to watch), the store step, and a whole run. The largest overlap
// and the whole run are measured on every path of the overlap kernel that
// the CPU runs; the others are skipped.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/operations.h"
#include "runtime/runtime.h"
#include "search/driver.h"
#include "search/overlap.h"
#include "search/rows.h"
#include "search/storage.h"

namespace {

constexpr std::uint64_t kSeed = 20260408;
constexpr int kStoredRows = 3000;
// Candidates measured in turn, so that no one row's numbers favour a run.
constexpr std::size_t kCandidates = 64;

class NullSink : public rt::LineSink {
 public:
  void WriteLine(std::string_view) override {}
};

// Makes the overlap kernel take the path numbered by the benchmark's
// argument (kOverlapPaths) while it lives; the path in use before comes back
// after it. Skips the benchmark when the CPU cannot run the path.
class ForcedPath {
 public:
  explicit ForcedPath(benchmark::State& state)
      : before_(search::overlap_path()), path_(search::kOverlapPaths[state.range(0)]) {
    state.SetLabel(std::string(search::overlap_path_name(path_)));
    if (!search::force_overlap_path(path_)) state.SkipWithError("this CPU cannot run the path");
  }
  ForcedPath(const ForcedPath&) = delete;
  ForcedPath& operator=(const ForcedPath&) = delete;
  ~ForcedPath() { search::force_overlap_path(before_); }

 private:
  search::OverlapPath before_;
  search::OverlapPath path_;
};

constexpr int kPathCount = static_cast<int>(std::size(search::kOverlapPaths));

// The search's variables as the driver sets them up, on a runtime of their
// own.
struct Search {
  Search() : runtime(kSeed, sink), literals(search::start_with_literals(runtime)), g(runtime, literals) { search::set_up(g); }

  // Stores `count` drawn rows, whatever their overlap.
  void StoreRows(int count) {
    for (int i = 0; i < count; ++i) {
      search::arvorivi(g);
      search::store_row(g);
    }
  }

  std::vector<rt::Value> DrawCandidates() {
    std::vector<rt::Value> candidates;
    for (std::size_t i = 0; i < kCandidates; ++i) {
      search::arvorivi(g);
      candidates.push_back(g.arvotturivi);
    }
    return candidates;
  }

  NullSink sink;
  rt::Runtime runtime;
  search::Literals literals;
  search::Globals g;
};

void BM_arvorivi(benchmark::State& state) {
  Search s;
  for (auto _ : state) {
    search::arvorivi(s.g);
    benchmark::DoNotOptimize(s.g.arvotturivi);
  }
}
BENCHMARK(BM_arvorivi);

void BM_montaoikein(benchmark::State& state) {
  Search s;
  s.StoreRows(1);
  const rt::Value stored = rt::Element(s.g.rivit, 1);
  search::arvorivi(s.g);
  for (auto _ : state) benchmark::DoNotOptimize(search::montaoikein(s.g, stored, s.g.arvotturivi));
}
BENCHMARK(BM_montaoikein);

void BM_enitenoikein(benchmark::State& state) {
  const ForcedPath path(state);
  Search s;
  s.StoreRows(kStoredRows);
  const std::vector<rt::Value> candidates = s.DrawCandidates();
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
  Search s;
  const std::vector<rt::Value> candidates = s.DrawCandidates();
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
