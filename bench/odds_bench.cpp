// The odds of a set of rows over every draw, timed side by side with the
// yardstick of every draw against every row (an AND and a population count,
// the instruction where the CPU has it), on three lotteries: the rows of a
// whole search over 7 of 40, and 2000 random rows over 6 of 49 and 5 of 50.
// The yardstick takes tens of seconds over the larger lotteries, so it is
// timed there on every 64th draw and scaled up, as the table says; over 5 of
// 50 it meets every draw and its counts must equal the engine's.
//
// Prints a table and exits with 1 when a target is missed: the search's rows
// over 7 of 40 counted in under a second, the engine at most 0.03 of the
// yardstick's time on every lottery, and the process's peak resident memory,
// which bounds the engine's, under 64 MiB.

#include <sys/resource.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "rivit/odds.h"
#include "rivit/run.h"
#include "search/overlap_kernels.h"

namespace {

using bench::cpu_seconds;
using bench::seconds;
using bench::usage_now;

using rivit::Lottery;
using rivit::RowMask;

constexpr std::uint64_t kSeed = 20261208;
constexpr std::size_t kRandomRows = 2000;
constexpr int kEngineRuns = 3;  // the fastest is shown, the machine being shared
constexpr double kMostEngineSeconds = 1.0;
constexpr double kMostRatio = 0.03;
constexpr double kMostPeakMiB = 64.0;

struct Case {
  std::string name;
  Lottery lottery;
  std::vector<RowMask> rows;
  std::uint64_t draw_step;  // the yardstick meets every draw_step-th draw
};

std::vector<RowMask> search_rows() {
  const rivit::Run run = rivit::record_run(kSeed);
  std::vector<RowMask> rows;
  for (const rivit::Row& row : run.rows_of_phase(rivit::kPhases)) rows.push_back(rivit::mask_of(row));
  return rows;
}

std::vector<RowMask> random_rows(Lottery lottery) {
  std::mt19937_64 random(kSeed);
  std::vector<int> numbers(static_cast<std::size_t>(lottery.numbers));
  std::iota(numbers.begin(), numbers.end(), 1);
  std::vector<RowMask> rows(kRandomRows);
  for (RowMask& row : rows) {
    std::shuffle(numbers.begin(), numbers.end(), random);
    for (int i = 0; i < lottery.length; ++i) row |= rivit::number_bit(numbers[static_cast<std::size_t>(i)]);
  }
  return rows;
}

// Every draw_step-th draw, in increasing order of the masks.
std::vector<RowMask> sampled_draws(Lottery lottery, std::uint64_t draw_step) {
  std::vector<RowMask> draws;
  RowMask draw = (RowMask{1} << lottery.length) - 1;
  for (std::uint64_t i = 0; i < rivit::choose(lottery.numbers, lottery.length); ++i) {
    if (i % draw_step == 0) draws.push_back(draw);
    // The next mask with as many bits.
    const RowMask lowest = draw & -draw;
    const RowMask carried = draw + lowest;
    draw = carried | (((draw ^ carried) >> 2) / lowest);
  }
  return draws;
}

template <bool kPopcntInstruction>
[[gnu::always_inline]] inline void tally_every_row(const std::vector<RowMask>& draws, const std::vector<RowMask>& rows,
                                                   std::vector<std::uint64_t>& best) {
  for (const RowMask draw : draws) {
    int most = 0;
    for (const RowMask row : rows) {
      if constexpr (kPopcntInstruction) {
        most = std::max(most, __builtin_popcountll(draw & row));
      } else {
        most = std::max(most, std::popcount(draw & row));
      }
    }
    ++best[static_cast<std::size_t>(most)];
  }
}

#if defined(__x86_64__)
[[gnu::target("popcnt")]] void tally_with_instruction(const std::vector<RowMask>& draws,
                                                      const std::vector<RowMask>& rows,
                                                      std::vector<std::uint64_t>& best) {
  tally_every_row<true>(draws, rows, best);
}
#endif

// The yardstick: each draw's best by comparing it with every row.
std::vector<std::uint64_t> yardstick(const std::vector<RowMask>& draws, const std::vector<RowMask>& rows,
                                     Lottery lottery) {
  std::vector<std::uint64_t> best(static_cast<std::size_t>(lottery.length + 1));
#if defined(__x86_64__)
  if (search::cpu_runs_popcnt()) {
    tally_with_instruction(draws, rows, best);
    return best;
  }
#endif
  tally_every_row<false>(draws, rows, best);
  return best;
}

}  // namespace

int main() {
  std::vector<Case> cases;
  cases.push_back({"7 of 40, a search's rows", {40, 7}, search_rows(), 64});
  cases.push_back({"6 of 49, random rows", {49, 6}, random_rows({49, 6}), 64});
  cases.push_back({"5 of 50, random rows", {50, 5}, random_rows({50, 5}), 1});

  bool met = true;
  std::printf("%-26s %5s %10s %9s %9s %9s %6s %7s %8s\n", "lottery", "rows", "draws", "engine s", "cpu s", "naive s",
              "1/step", "ratio", "peak MiB");
  for (const Case& c : cases) {
    rivit::Odds odds;
    double engine = 0;
    const rusage before = usage_now();
    for (int run = 0; run < kEngineRuns; ++run) {
      const double took = seconds([&] { odds = rivit::odds_of(c.rows, c.lottery); });
      engine = run == 0 ? took : std::min(engine, took);
    }
    const rusage after = usage_now();
    const double engine_cpu = (cpu_seconds(after) - cpu_seconds(before)) / kEngineRuns;
    const double peak = static_cast<double>(after.ru_maxrss) / 1024.0;

    const std::vector<RowMask> draws = sampled_draws(c.lottery, c.draw_step);
    std::vector<std::uint64_t> naive_best;
    const double naive_sampled = seconds([&] { naive_best = yardstick(draws, c.rows, c.lottery); });
    const double naive = naive_sampled * static_cast<double>(odds.draws) / static_cast<double>(draws.size());
    const double ratio = engine / naive;

    std::printf("%-26s %5zu %10llu %9.3f %9.3f %9.2f %6llu %7.4f %8.1f\n", c.name.c_str(), c.rows.size(),
                static_cast<unsigned long long>(odds.draws), engine, engine_cpu, naive,
                static_cast<unsigned long long>(c.draw_step), ratio, peak);
    if (c.draw_step == 1 && naive_best != odds.best) {
      std::printf("  the engine's counts differ from the yardstick's\n");
      met = false;
    }
    if (c.lottery == rivit::kProgramLottery && engine >= kMostEngineSeconds) {
      std::printf("  missed: %.0f s for the search's rows over 7 of 40\n", kMostEngineSeconds);
      met = false;
    }
    if (ratio > kMostRatio) {
      std::printf("  missed: at most %.2f of the yardstick's time\n", kMostRatio);
      met = false;
    }
    if (peak >= kMostPeakMiB) {
      std::printf("  missed: under %.0f MiB at the peak\n", kMostPeakMiB);
      met = false;
    }
  }
  std::printf(
      "engine: odds_of, every piece on one thread (the command shares them between two), the fastest of %d runs,\n"
      "and its processor time, the mean "
      "of the runs; naive: one thread, every draw against every row, timed on every 1/step-th draw and scaled\n"
      "to all draws; peak: the whole process's resident memory\n",
      kEngineRuns);
  return met ? 0 : 1;
}
