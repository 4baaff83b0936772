// Microbenchmarks of erilaisetrivit-rivit --check: the whole check of 100 000
// random rows read from a file, which must take well under a second, and the
// search for the closest pair alone, on the same rows without their
// duplicates (so that no pair shares all seven and every pass but the last
// runs over all rows) and on the rows of a whole search.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "rivit/check.h"
#include "rivit/read.h"
#include "rivit/run.h"

namespace {

constexpr std::size_t kRows = 100000;
constexpr std::uint64_t kSeed = 20261208;

std::vector<rivit::Row> random_rows() {
  std::mt19937_64 random(kSeed);
  std::vector<int> numbers(static_cast<std::size_t>(rivit::kProgramLottery.numbers));
  for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<int>(i + 1);
  std::vector<rivit::Row> rows(kRows);
  for (rivit::Row& row : rows) {
    std::shuffle(numbers.begin(), numbers.end(), random);
    row.assign(numbers.begin(), numbers.begin() + rivit::kProgramLottery.length);
  }
  return rows;
}

std::vector<rivit::RowMask> masks_of(const std::vector<rivit::Row>& rows) {
  std::vector<rivit::RowMask> masks(rows.size());
  std::transform(rows.begin(), rows.end(), masks.begin(), rivit::mask_of);
  return masks;
}

void count_rows(benchmark::State& state, std::size_t rows) {
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(rows));
}

void BM_CheckTextOfHundredThousandRows(benchmark::State& state) {
  std::string text;
  for (const rivit::Row& row : random_rows()) {
    for (const int n : row) text += std::to_string(n) + " ";
    text += "\n";
  }
  for (auto _ : state) benchmark::DoNotOptimize(rivit::check_of(rivit::read_rows(text, rivit::kProgramLottery)));
  count_rows(state, kRows);
}
BENCHMARK(BM_CheckTextOfHundredThousandRows)->Unit(benchmark::kMillisecond);

void BM_ClosestPairOfDistinctRandomRows(benchmark::State& state) {
  std::vector<rivit::RowMask> masks = masks_of(random_rows());
  std::sort(masks.begin(), masks.end());
  masks.erase(std::unique(masks.begin(), masks.end()), masks.end());
  std::shuffle(masks.begin(), masks.end(), std::mt19937_64(kSeed));
  for (auto _ : state) benchmark::DoNotOptimize(rivit::closest_pair(masks, rivit::kProgramLottery));
  count_rows(state, masks.size());
}
BENCHMARK(BM_ClosestPairOfDistinctRandomRows)->Unit(benchmark::kMillisecond);

void BM_ClosestPairOfASearchsRows(benchmark::State& state) {
  const std::vector<rivit::RowMask> masks = masks_of(rivit::record_run(kSeed).rows);
  for (auto _ : state) benchmark::DoNotOptimize(rivit::closest_pair(masks, rivit::kProgramLottery));
  count_rows(state, masks.size());
}
BENCHMARK(BM_ClosestPairOfASearchsRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
