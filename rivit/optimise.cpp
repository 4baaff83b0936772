#include "rivit/optimise.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <numeric>

#include "rivit/internal/circles.h"
#include "rivit/internal/local_search.h"
#include "rivit/internal/rotation.h"
#include "runtime/random.h"
#include "search/overlap_kernels.h"

namespace rivit {

namespace {

// shared[j] = the numbers that `row` shares with rows[j], for every j: the
// kernel of a step, one pass over the contiguous masks. Counted with the
// POPCNT instruction where the CPU has it (the CPU check of the overlap kernel's),
// else in plain C++; the counts are the same.
using SharedCounts = void (*)(std::span<const RowMask> rows, RowMask row, std::uint8_t* shared);

template <bool kPopcntInstruction>
[[gnu::always_inline]] inline void count_shared(std::span<const RowMask> rows, RowMask row, std::uint8_t* shared) {
  for (std::size_t j = 0; j < rows.size(); ++j) {
    if constexpr (kPopcntInstruction) {
      shared[j] = static_cast<std::uint8_t>(__builtin_popcountll(rows[j] & row));
    } else {
      shared[j] = static_cast<std::uint8_t>(std::popcount(rows[j] & row));
    }
  }
}

void count_shared_portable(std::span<const RowMask> rows, RowMask row, std::uint8_t* shared) {
  count_shared<false>(rows, row, shared);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("popcnt")]] void count_shared_popcnt(std::span<const RowMask> rows, RowMask row, std::uint8_t* shared) {
  count_shared<true>(rows, row, shared);
}

SharedCounts choose_shared_counts() { return search::cpu_runs_popcnt() ? count_shared_popcnt : count_shared_portable; }
#else
SharedCounts choose_shared_counts() { return count_shared_portable; }
#endif

// The pairs of rows that share each count of numbers, 0 to kLongestRow.
using Histogram = std::array<std::uint64_t, kLongestRow + 1>;

int usage_range(std::span<const int> usage) {
  const auto [least, most] = std::minmax_element(usage.begin(), usage.end());
  return *most - *least;
}

// The first two criteria of a score from the pairs' histogram.
Score pairs_score(const Histogram& histogram) {
  Score score;
  for (int shared = kLongestRow; shared >= 0; --shared) {
    const std::uint64_t pairs = histogram[static_cast<std::size_t>(shared)];
    if (pairs != 0) return {shared, pairs, 0};
  }
  return score;
}

// A swap that raises the excess by k is made with chance 0.02^k, else the
// step makes no swap; one that raises it by 8 or more never. Tuned on 7 of 40.
using Uphill = UphillChance<20, 1000, 8>;
// The share of a search's steps or time (1 / kRotationShare) that a start by
// rotation may take.
constexpr std::uint64_t kRotationShare = 2;
// The worth of a set of rows: its excess (Walk) in units of 2^kExcessShift
// plus its penalised excess in ones, one integer that orders swaps by the
// excess first and by the penalties only among equals. A penalty stops at
// kMostPenalty, so that a swap's change of the penalised excess, at most
// one penalty for each of kMostRows rows, never reaches half a unit.
constexpr int kExcessShift = 40;
constexpr std::int64_t kExcessUnit = std::int64_t{1} << kExcessShift;
constexpr std::int64_t kMostPenalty = std::int64_t{1} << 20;
static_assert(2 * std::int64_t{kMostRows} * kMostPenalty < kExcessUnit / 2);
// The change of the excess in a swap's worth.
std::int64_t excess_in(std::int64_t worth) { return (worth + kExcessUnit / 2) >> kExcessShift; }

// The rows search's model. It holds a target, the most numbers two rows may
// share, and lowers the excess: the sum over pairs of the numbers they share
// beyond the target. A step takes a row that is in an excess pair at random,
// and of all the ways to swap one of its numbers for one it lacks finds the
// one that lowers the excess most (ties: the one that lowers the penalised
// excess most, then the one that moves a row from a more used number to a
// less used one, then at random), never undoing a recent swap unless that
// reaches a new low. It makes that swap when it raises the excess by
// nothing, and by k only with the chance p^k: always taking the best swap of
// one row wanders, never taking an uphill one sticks. When no pair exceeds
// the target the target drops below the most that any pair now shares.
// A pair's penalty (its breakout weight) counts the steps whose row it was
// in, over the target, with no swap that lowers the worth (the excess, then
// the penalised excess) or keeps it; the penalised excess weighs each pair's
// excess by its penalty. Among the many swaps that change the excess alike,
// the search so turns to the pairs that it keeps failing to mend.
// Every step the exact score comes from a histogram of the pairs' shared
// counts, kept step by step, and the best rows are kept.
//
// A step counts what a swap does to the excess in one pass over the other
// rows: taking number a from row i and giving it number b changes row j's
// share with i by [b in j] - [a in j], so the change of the excess is the
// rows over the target that hold a, less, plus the rows at or over it that
// hold b, less those at the target that hold both.
class SharedNumbers {
 public:
  using Move = Swap;  // its change of the worth in ones (kExcessUnit)
  using Acceptance = Uphill;
  static constexpr Breakout kBreakout = Breakout::kWhenUphill;

  // Starts from the rows of `start` and rows drawn at random after them, up
  // to search.rows. REQUIRES: start.size() <= search.rows.
  SharedNumbers(const RowSearch& search, rt::Random& random, const Score& least, std::vector<RowMask> start)
      : holds_largest_(!start.empty()),
        lottery_(search.lottery),
        all_numbers_(all_numbers(search.lottery)),
        least_(least),
        rows_(std::move(start)),
        shared_(search.rows),
        excess_(search.rows),
        penalties_(search.rows),
        pair_worth_(search.rows, kExcessUnit),
        conflicted_(search.rows) {
    RowDraw draw;
    while (rows_.size() < search.rows) rows_.push_back(draw.next(random, lottery_));
    for_each_row([this](RowMask row) { for_each_number(row, [this](int n) { ++usage(n); }); });
    for_each_pair([this](std::size_t, std::size_t, int shared) { ++histogram_[static_cast<std::size_t>(shared)]; });
    best_rows_ = rows_;
    best_score_ = score();
    set_target(best_score_.largest_shared - 1);
  }

  std::optional<Move> best_move(Step& step) {
    row_ = conflicted_.draw(step.random);
    load_penalties(row_);
    return best_swap(row_, step);
  }
  static std::int64_t change(const Move& swap) { return swap.change; }
  static std::int64_t worsening(const Move& swap) { return excess_in(swap.change); }
  void apply(const Move& swap, Step& step);
  void break_out(Step& /*step*/) { penalise(row_); }
  void end_step(Step& /*step*/) {
    unload_penalties(row_);
    if (total_excess_ == 0) set_target(pairs_score(histogram_).largest_shared - 1);
    if (const Score now = score_if_better(); now < best_score_) {
      best_score_ = now;
      best_rows_ = rows_;
    }
  }
  bool finished() const { return best_score_ == least_; }

  const Score& best_score() const { return best_score_; }
  const std::vector<RowMask>& best_rows() const { return best_rows_; }

 private:
  template <typename Visit>
  void for_each_row(Visit visit) const {
    for (const RowMask row : rows_) visit(row);
  }
  int& usage(int n) { return usage_[static_cast<std::size_t>(n)]; }
  // Calls visit(i, j, shared) for every pair of rows i < j, counted a row
  // at a time by the step's kernel. Overwrites shared_.
  template <typename Visit>
  void for_each_pair(Visit visit) {
    for (std::size_t i = 0; i + 1 < rows_.size(); ++i) {
      count_shared_(std::span(rows_).subspan(i + 1), rows_[i], shared_.data());
      for (std::size_t j = i + 1; j < rows_.size(); ++j) visit(i, j, shared_[j - i - 1]);
    }
  }
  std::int64_t excess(int shared) const { return std::max(0, shared - target_); }

  Score score() const {
    Score now = pairs_score(histogram_);
    now.usage_range = usage_range(std::span(usage_).first(static_cast<std::size_t>(lottery_.numbers)));
    return now;
  }
  // The score when its first two criteria are no worse than the best's;
  // otherwise something worse than the best, without counting the range.
  Score score_if_better() const {
    const Score pairs = pairs_score(histogram_);
    if (std::tie(pairs.largest_shared, pairs.pairs_at_largest) >
        std::tie(best_score_.largest_shared, best_score_.pairs_at_largest)) {
      return pairs;
    }
    return score();
  }

  void set_target(int target) {
    target_ = target;
    std::fill(excess_.begin(), excess_.end(), 0);
    total_excess_ = 0;
    for_each_pair([this](std::size_t i, std::size_t j, int shared) {
      const std::int64_t over = excess(shared);
      excess_[i] += over;
      excess_[j] += over;
      total_excess_ += over;
    });
    conflicted_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) note_conflict(i);
    least_excess_ = total_excess_;
    for (auto& penalties : penalties_) penalties.clear();
  }

  // Keeps row i in the set of rows in an excess pair exactly when it is.
  void note_conflict(std::size_t i) {
    const bool listed = conflicted_.contains(i);
    if (excess_[i] > 0 && !listed) {
      conflicted_.insert(i);
    } else if (excess_[i] == 0 && listed) {
      conflicted_.erase(i);
    }
  }

  void load_penalties(std::size_t i) {
    for (const auto& [j, penalty] : penalties_[i]) pair_worth_[j] = kExcessUnit + penalty;
  }
  void unload_penalties(std::size_t i) {
    for (const auto& [j, penalty] : penalties_[i]) pair_worth_[j] = kExcessUnit;
  }
  // Row i is stuck: no swap lowers its worth or keeps it. Each of its pairs
  // over the target gets one more penalty, so that the swaps that mend the
  // pairs that keep coming back win the ties. Reads shared_.
  void penalise(std::size_t i) {
    for (std::size_t j = 0; j < rows_.size(); ++j) {
      if (shared_[j] <= target_ || j == i || pair_worth_[j] >= kExcessUnit + kMostPenalty) continue;
      const std::int64_t penalty = ++pair_worth_[j] - kExcessUnit;
      set_penalty(i, j, penalty);
      set_penalty(j, i, penalty);
    }
  }
  void set_penalty(std::size_t i, std::size_t j, std::int64_t penalty) {
    auto& penalties = penalties_[i];
    const auto found =
        std::find_if(penalties.begin(), penalties.end(), [j](const auto& entry) { return entry.first == j; });
    if (found == penalties.end()) {
      penalties.emplace_back(j, penalty);
    } else {
      found->second = penalty;
    }
  }

  // The best swap in row i, filling shared_ with row i's share with each row.
  std::optional<Move> best_swap(std::size_t i, Step& step) {
    const RowMask row = rows_[i];
    std::array<int, kMostNumbers> position{};  // of each number of the row
    int next_position = 0;
    for_each_number(row, [&](int n) { position[static_cast<std::size_t>(n)] = next_position++; });
    // The rows that lose excess when row i loses a number; that gain it when
    // row i gains one; and of the latter those at the target that hold both,
    // for each pair (position of the number out, number in).
    std::array<std::int64_t, kMostNumbers> losing{};
    std::array<std::int64_t, kMostNumbers> gaining{};
    std::array<std::array<std::int64_t, kMostNumbers>, kLongestRow> at_target{};
    // Holding the best's largest shared count: the rows one over the target
    // that hold each number, and those that hold both numbers of a swap.
    const bool holding = holds_largest_ && best_score_.largest_shared == target_ + 1;
    std::array<int, kMostNumbers> over_holding{};
    std::array<std::array<int, kMostNumbers>, kLongestRow> over_holding_both{};
    count_shared_(rows_, row, shared_.data());
    for (std::size_t j = 0; j < rows_.size(); ++j) {
      const int shared = shared_[j];
      if (shared < target_ || j == i) continue;
      const RowMask other = rows_[j];
      const std::int64_t worth = pair_worth_[j];
      for_each_number(other, [&](int n) { gaining[static_cast<std::size_t>(n)] += worth; });
      if (shared > target_) {
        for_each_number(other & row, [&](int n) { losing[static_cast<std::size_t>(n)] += worth; });
        if (holding && shared == target_ + 1) {
          for_each_number(other & ~row, [&](int in) { ++over_holding[static_cast<std::size_t>(in)]; });
          for_each_number(other & row, [&](int out) {
            auto& by_in = over_holding_both[static_cast<std::size_t>(position[static_cast<std::size_t>(out)])];
            for_each_number(other & ~row, [&](int in) { ++by_in[static_cast<std::size_t>(in)]; });
          });
        }
      } else {
        for_each_number(other & row, [&](int out) {
          auto& by_in = at_target[static_cast<std::size_t>(position[static_cast<std::size_t>(out)])];
          for_each_number(other & ~row, [&](int in) { by_in[static_cast<std::size_t>(in)] += worth; });
        });
      }
    }
    // The least (change, balance), and every swap that has it.
    const TabuMemory::Row tabu = step.tabu.row(i);
    for_each_number(row, [&](int out) {
      const auto& by_in = at_target[static_cast<std::size_t>(position[static_cast<std::size_t>(out)])];
      const auto& over_by_in = over_holding_both[static_cast<std::size_t>(position[static_cast<std::size_t>(out)])];
      const std::int64_t lost = losing[static_cast<std::size_t>(out)];
      for_each_number(all_numbers_ & ~row, [&](int in) {
        if (holding && over_holding[static_cast<std::size_t>(in)] > over_by_in[static_cast<std::size_t>(in)]) return;
        const auto n = static_cast<std::size_t>(in);
        const std::int64_t change = gaining[n] - lost - by_in[n];
        if (tabu.forbids(n, step.now) && total_excess_ + excess_in(change) >= least_excess_) return;
        best_.offer({change, usage(in) - usage(out)}, {i, out, in, change}, step.random);
      });
    });
    return best_.take(step.random);
  }

  // Whether the walk never takes a swap that makes two rows share more than
  // the best rows' largest count: for walks from built rows, which meet the
  // least largest count so tightly that a walk that leaves it never returns.
  bool holds_largest_;
  Lottery lottery_;
  RowMask all_numbers_;
  Score least_;
  std::vector<RowMask> rows_;
  std::array<int, kMostNumbers> usage_{};  // rows that hold each number
  Histogram histogram_{};
  SharedCounts count_shared_ = choose_shared_counts();
  std::vector<std::uint8_t> shared_;  // in a step, the numbers of its row shared with each row
  int target_ = 0;
  std::vector<std::int64_t> excess_;  // each row's share of the excess
  std::int64_t total_excess_ = 0;
  std::int64_t least_excess_ = 0;  // since the target was set
  // Each row's penalised pairs, as (other row, penalty), cleared with a new
  // target; and in a step, the worth of a unit of excess in its row's pair
  // with each row: kExcessUnit plus the pair's penalty.
  std::vector<std::vector<std::pair<std::size_t, std::int64_t>>> penalties_;
  std::vector<std::int64_t> pair_worth_;
  IndexedSet<std::size_t> conflicted_;  // the rows in an excess pair
  std::size_t row_ = 0;                 // the step's
  // In a step, the least (change of the worth, change of the balance of the
  // numbers' use) and the swaps that have it.
  BestMove<std::pair<std::int64_t, int>, Move, Ties::kDrawAtEnd> best_;
  std::vector<RowMask> best_rows_;
  Score best_score_;
};

// The swap made: its numbers trade places in its row, and the excess, the
// histogram and the conflicted rows follow it.
void SharedNumbers::apply(const Move& swap, Step& step) {
  const std::size_t i = swap.row;
  const RowMask moved = (RowMask{1} << swap.out) | (RowMask{1} << swap.in);
  for (std::size_t j = 0; j < rows_.size(); ++j) {
    const RowMask holds = rows_[j] & moved;
    if (holds == 0 || holds == moved || j == i) continue;
    const int before = shared_[j];
    const int after = before + (((holds >> swap.in) & 1) != 0 ? 1 : -1);
    --histogram_[static_cast<std::size_t>(before)];
    ++histogram_[static_cast<std::size_t>(after)];
    const std::int64_t change = excess(after) - excess(before);
    if (change == 0) continue;
    excess_[i] += change;
    excess_[j] += change;
    total_excess_ += change;
    note_conflict(j);
  }
  note_conflict(i);
  least_excess_ = std::min(least_excess_, total_excess_);
  rows_[i] ^= moved;
  --usage(swap.out);
  ++usage(swap.in);
  step.forbid(i, static_cast<std::size_t>(swap.out));
}

using Walk = LocalSearch<SharedNumbers>;

// The rotation search that starts a walk from built rows, when whole orbits
// of the lottery fit under the bound for the least largest shared count:
// many rows share few numbers far more often in that shape than a walk
// finds alone. It may take 1 / kRotationShare of the steps or the time.
std::optional<RotatedRowsSearch> rotation_start(const RowSearch& request, const Score& least, std::uint64_t steps,
                                                rt::Random& random) {
  if (!rotation_fits(request.lottery, request.rows) || least.largest_shared >= request.lottery.length ||
      whole_orbits(request.lottery, request.rows) > johnson_bound(request.lottery, least.largest_shared)) {
    return std::nullopt;
  }
  return RotatedRowsSearch({request.lottery, request.rows, least.largest_shared, steps / kRotationShare}, random);
}

std::uint64_t pairs_among(std::uint64_t count) { return count * (count - 1) / 2; }

}  // namespace

Score score_of(std::span<const RowMask> rows, Lottery lottery) {
  Histogram histogram{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j)
      ++histogram[static_cast<std::size_t>(std::popcount(rows[i] & rows[j]))];
  }
  std::array<int, kMostNumbers> usage{};
  for (const RowMask row : rows) for_each_number(row, [&usage](int n) { ++usage[static_cast<std::size_t>(n)]; });
  Score score = pairs_score(histogram);
  score.usage_range = usage_range(std::span(usage).first(static_cast<std::size_t>(lottery.numbers)));
  return score;
}

std::uint64_t johnson_bound(Lottery lottery, int shared) {
  if (shared >= lottery.length) return std::numeric_limits<std::uint64_t>::max();
  if (shared == 0) return static_cast<std::uint64_t>(lottery.numbers / lottery.length);
  const std::uint64_t smaller = johnson_bound({lottery.numbers - 1, lottery.length - 1}, shared - 1);
  return static_cast<std::uint64_t>(lottery.numbers) * smaller / static_cast<std::uint64_t>(lottery.length);
}

Score least_score(Lottery lottery, std::size_t rows) {
  const auto count = static_cast<std::uint64_t>(rows);
  int shared = 0;
  while (johnson_bound(lottery, shared) < count) ++shared;
  // The numbers' uses, as even as they can be: `above` numbers once more than the rest.
  const std::uint64_t uses = count * static_cast<std::uint64_t>(lottery.length);
  const auto numbers = static_cast<std::uint64_t>(lottery.numbers);
  const std::uint64_t each = uses / numbers;
  const std::uint64_t above = uses % numbers;
  const auto least_total =
      static_cast<std::int64_t>(above * pairs_among(each + 1) + (numbers - above) * pairs_among(each));
  const std::int64_t below_largest = static_cast<std::int64_t>(pairs_among(count)) * (shared - 1);
  const std::int64_t at_least_one = count >= 2 ? 1 : 0;
  return {shared, static_cast<std::uint64_t>(std::max(at_least_one, least_total - below_largest)), above == 0 ? 0 : 1};
}

// One search: its generator, and the built rows' rotation search while it
// lasts, then the walk. Rows that may share two numbers start from circles
// when there are enough; else many rows from rotation, when it fits.
class RowsSearch::State {
 public:
  State(const RowSearch& request, int which)
      : request_(request),
        least_(least_score(request.lottery, request.rows)),
        last_step_(request.seconds ? std::numeric_limits<std::uint64_t>::max() : request.steps),
        random_(search_seeds(request.seed)[static_cast<std::size_t>(which)]) {
    std::vector<RowMask> circles;
    if (which == kBuiltStart && least_.largest_shared == kCircleRowsShare) {
      circles = circle_rows(request.lottery, request.rows, random_);
    }
    if (which == kBuiltStart && circles.empty()) rotation_ = rotation_start(request, least_, last_step_, random_);
    if (!rotation_) start_walk(std::move(circles), 0);
  }

  void advance(std::uint64_t steps, double elapsed) {
    if (rotation_) {
      const bool time_up = request_.seconds && elapsed >= *request_.seconds / static_cast<double>(kRotationShare);
      if (!time_up) rotation_->advance(steps, random_);
      if (!time_up && !rotation_->done()) return;
      RotatedRows rotated = rotation_->result();
      rotation_.reset();
      return start_walk(std::move(rotated.rows), rotated.steps_taken);
    }
    if (request_.seconds && elapsed >= *request_.seconds) return cap(walk_->steps());
    walk_->advance(steps, random_);
  }

  bool done() const { return walk_ && walk_->done(); }
  void cap(std::uint64_t steps) {
    last_step_ = std::min(last_step_, steps);
    if (walk_) walk_->cap(steps);
  }
  std::optional<Score> best_score() const {
    return walk_ ? std::optional<Score>(walk_->model().best_score()) : std::nullopt;
  }
  std::uint64_t steps_taken() const { return walk_ ? walk_->steps() : 0; }
  FoundRows result() const {
    const SharedNumbers& rows = walk_->model();
    return {rows.best_rows(), rows.best_score(), walk_->steps(), rows.finished()};
  }

 private:
  void start_walk(std::vector<RowMask> start, std::uint64_t steps) {
    TabuMemory tabu(request_.rows, static_cast<std::size_t>(request_.lottery.numbers));
    walk_.emplace(SharedNumbers(request_, random_, least_, std::move(start)), std::move(tabu), kSwapTenure, last_step_,
                  steps);
  }

  RowSearch request_;
  Score least_;
  std::uint64_t last_step_;  // the last step it may take
  rt::Random random_;
  std::optional<RotatedRowsSearch> rotation_;
  std::optional<Walk> walk_;
};

RowsSearch::RowsSearch(const RowSearch& request, int which) : state_(std::make_unique<State>(request, which)) {}
RowsSearch::~RowsSearch() = default;
RowsSearch::RowsSearch(RowsSearch&&) noexcept = default;
RowsSearch& RowsSearch::operator=(RowsSearch&&) noexcept = default;
void RowsSearch::advance(std::uint64_t steps, double elapsed) { state_->advance(steps, elapsed); }
bool RowsSearch::done() const { return state_->done(); }
void RowsSearch::cap(std::uint64_t steps) { state_->cap(steps); }
std::optional<Score> RowsSearch::best_score() const { return state_->best_score(); }
std::uint64_t RowsSearch::steps_taken() const { return state_->steps_taken(); }
FoundRows RowsSearch::result() const { return state_->result(); }

std::optional<std::string> rows_problem(Lottery lottery, std::size_t rows) {
  const std::uint64_t most_rows = std::min<std::uint64_t>(choose(lottery.numbers, lottery.length), kMostRows);
  if (rows >= 1 && rows <= most_rows) return std::nullopt;
  return "M is from 1 to " + std::to_string(most_rows) + " in this lottery";
}

std::array<std::uint64_t, kSearches> search_seeds(std::uint64_t seed) {
  rt::Random seeds(seed);
  const std::uint64_t first = seeds.Next();
  return {first, seeds.Next()};
}

// Of proven rows those found in fewer steps win, of others the better: the
// steps alone decide, not which search ran faster.
const FoundRows& better_of(const FoundRows& first, const FoundRows& second) {
  const auto rank = [](const FoundRows& rows) {
    return std::pair(rows.score, rows.proven_best ? rows.steps_taken : 0);
  };
  return rank(second) < rank(first) ? second : first;
}

}  // namespace rivit
