#include "rivit/internal/cover_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace rivit {
namespace {

constexpr int kLargestDrawn = kLongestRow;

// C(n, j) for n <= kMostNumbers, j <= kLargestDrawn.
using ChooseTable = std::array<std::array<std::uint64_t, kLargestDrawn + 1>, kMostNumbers + 1>;
constexpr ChooseTable kChoose = [] {
  ChooseTable table{};
  for (std::size_t n = 0; n <= kMostNumbers; ++n) {
    table[n][0] = 1;
    for (std::size_t j = 1; j <= kLargestDrawn && n > 0; ++j) table[n][j] = table[n - 1][j - 1] + table[n - 1][j];
  }
  return table;
}();

// A number taken back into a row it just left must wait this many steps, so
// that a search does not undo its last changes.
constexpr Tenure kTabuSteps{8, 0};
// Weights are halved, all at once, when one reaches this.
constexpr std::uint32_t kHeaviest = std::uint32_t{1} << 30;

RowMask pool_of(int numbers) { return numbers == kMostNumbers ? ~RowMask{0} : (RowMask{1} << numbers) - 1; }

std::uint32_t rank_of(RowMask set) {
  std::uint64_t rank = 0;
  std::size_t held = 0;
  for_each_number(set, [&](int n) { rank += kChoose[static_cast<std::size_t>(n)][++held]; });
  return static_cast<std::uint32_t>(rank);
}

RowMask unrank_of(std::uint32_t rank, int numbers, int drawn) {
  RowMask set = 0;
  std::uint64_t left = rank;
  int n = numbers - 1;
  for (auto held = static_cast<std::size_t>(drawn); held >= 1; --held) {
    while (kChoose[static_cast<std::size_t>(n)][held] > left) --n;
    left -= kChoose[static_cast<std::size_t>(n)][held];
    set |= RowMask{1} << n;
    --n;
  }
  return set;
}

// Calls visit(subset) for every `size`-subset of `from`.
template <typename Visit>
void for_each_subset(RowMask from, int size, Visit visit) {
  std::array<RowMask, kMostNumbers> bits;  // only the first `count` are read
  std::size_t count = 0;
  for_each_number(from, [&](int n) { bits[count++] = RowMask{1} << n; });
  const auto want = static_cast<std::size_t>(size);
  if (want > count) return;
  std::array<std::size_t, kLargestDrawn + 1> at{};
  for (std::size_t i = 0; i < want; ++i) at[i] = i;
  while (true) {
    RowMask subset = 0;
    for (std::size_t i = 0; i < want; ++i) subset |= bits[at[i]];
    visit(subset);
    std::size_t i = want;
    while (i > 0 && at[i - 1] == count - want + i - 1) --i;
    if (i == 0) return;
    ++at[i - 1];
    for (std::size_t j = i; j < want; ++j) at[j] = at[j - 1] + 1;
  }
}

// Every `size`-subset of `from`, for loops that go over them many times.
std::vector<RowMask> subsets_of(RowMask from, int size) {
  std::vector<RowMask> subsets;
  subsets.reserve(static_cast<std::size_t>(choose(std::popcount(from), size)));
  for_each_subset(from, size, [&](RowMask subset) { subsets.push_back(subset); });
  return subsets;
}

// Calls visit(rank) for every m-set of the pool that `row` covers.
template <typename Visit>
void for_each_covered(const CoverSetup& setup, RowMask row, Visit visit) {
  const RowMask outside = pool_of(setup.numbers) & ~row;
  const int drawn = setup.guarantee.if_drawn;
  for (int inside = setup.guarantee.right; inside <= std::min(drawn, setup.length); ++inside) {
    const std::vector<RowMask> rests = subsets_of(outside, drawn - inside);
    for_each_subset(row, inside, [&](RowMask held) {
      for (const RowMask rest : rests) visit(rank_of(held | rest));
    });
  }
}

RowMask nth_number(RowMask mask, std::uint64_t nth) {
  for (; nth > 0; --nth) mask &= mask - 1;
  return mask & (~mask + 1);
}

RowMask drawn_number(RowMask mask, rt::Random& random) {
  return nth_number(mask, below(random, static_cast<std::uint64_t>(std::popcount(mask))));
}

}  // namespace

CoverModel::CoverModel(CoverSetup setup, rt::Random& random)
    : setup_(std::move(setup)),
      pool_(pool_of(setup_.numbers)),
      // At most kMostSearchedSets, which every size_t holds.
      sets_(static_cast<std::size_t>(choose(setup_.numbers, setup_.guarantee.if_drawn)), SetCount{0, 1}),
      uncovered_(sets_.size()) {
  for (std::uint32_t set = 0; set < sets_.size(); ++set) uncovered_.insert(set);
  const std::size_t most = setup_.budget.value_or(SIZE_MAX);
  for (const RowMask row : setup_.start) {
    if (rows_.size() < most) add_row(row);
  }
  fill_greedily(most);
  if (!setup_.budget) drop_needless_rows();
  if (setup_.budget) {
    RowDraw draw;
    while (rows_.size() < *setup_.budget) add_row(draw.next(random, {setup_.numbers, setup_.length}));
  }
  record([](std::size_t /*dropped*/) {});  // before the tabu memory, which is sized for the rows kept
}

LocalSearch<CoverModel> CoverSearch::started(CoverSetup setup, rt::Random& random) {
  CoverModel model(std::move(setup), random);
  TabuMemory tabu(model.rows(), static_cast<std::size_t>(model.numbers()));
  LocalSearch<CoverModel> search(std::move(model), std::move(tabu), kTabuSteps, UINT64_MAX);
  return search;
}

CoverSearch::CoverSearch(CoverSetup setup) : random_(setup.seed), search_(started(std::move(setup), random_)) {}

void CoverModel::cover(std::uint32_t set) {
  if (sets_[set].covers++ == 0) uncovered_.erase(set);
}

void CoverModel::uncover(std::uint32_t set) {
  if (--sets_[set].covers == 0) uncovered_.insert(set);
}

void CoverModel::add_row(RowMask row) {
  rows_.push_back(row);
  for_each_covered(setup_, row, [this](std::uint32_t set) { cover(set); });
}

// The rows that no m-set needs, taken out in one pass, the last first: the
// greedy cover of a large pool holds many, and taking them out one at a
// time, each after weighing every row, would cost the square of its rows.
void CoverModel::drop_needless_rows() {
  std::vector<RowMask> needed;
  for (std::size_t r = rows_.size(); r-- > 0;) {
    if (loss(rows_[r]) == 0) {
      for_each_covered(setup_, rows_[r], [this](std::uint32_t set) { uncover(set); });
    } else {
      needed.push_back(rows_[r]);
    }
  }
  rows_.assign(needed.rbegin(), needed.rend());
}

// The uncovered m-sets that a row of `row` and `number` covers and `row`
// alone does not: t - 1 numbers of the row, the number, and m - t others.
std::uint64_t CoverModel::greedy_gain(RowMask row, int number) const {
  const RowMask bit = RowMask{1} << number;
  const int right = setup_.guarantee.right;
  std::uint64_t gain = 0;
  const std::vector<RowMask> rests = subsets_of(pool_ & ~row & ~bit, setup_.guarantee.if_drawn - right);
  for_each_subset(row, right - 1, [&](RowMask held) {
    for (const RowMask rest : rests) gain += sets_[rank_of(held | bit | rest)].covers == 0 ? 1U : 0U;
  });
  return gain;
}

// Rows until everything is covered or there are `until` rows: each holds the
// lowest uncovered m-set and then, one at a time, the number that covers the
// most uncovered m-sets with it, the one the rows use least on a tie.
void CoverModel::fill_greedily(std::size_t until) {
  std::vector<std::size_t> uses(static_cast<std::size_t>(setup_.numbers));
  for (const RowMask row : rows_) for_each_number(row, [&](int n) { ++uses[static_cast<std::size_t>(n)]; });
  std::uint32_t lowest = 0;
  while (!uncovered_.empty() && rows_.size() < until) {
    while (sets_[lowest].covers != 0) ++lowest;
    RowMask row = unrank_of(lowest, setup_.numbers, setup_.guarantee.if_drawn);
    while (std::popcount(row) < setup_.length) {
      std::optional<std::pair<std::uint64_t, std::size_t>> best;  // gain, uses
      int pick = 0;
      for_each_number(pool_ & ~row, [&](int n) {
        const std::pair candidate{greedy_gain(row, n), uses[static_cast<std::size_t>(n)]};
        if (!best || candidate.first > best->first ||
            (candidate.first == best->first && candidate.second < best->second)) {
          best = candidate;
          pick = n;
        }
      });
      row |= RowMask{1} << pick;
    }
    for_each_number(row, [&](int n) { ++uses[static_cast<std::size_t>(n)]; });
    add_row(row);
  }
}

// Calls visit(lost, gained) for the m-sets that the move uncovers and covers
// for its row: t - 1 numbers of the row that stay, the one that leaves or
// the one that comes, and m - t numbers from outside both rows.
template <typename Visit>
void for_each_changed(const CoverSetup& setup, RowMask row, int out, int in, Visit visit) {
  const RowMask out_bit = RowMask{1} << out;
  const RowMask in_bit = RowMask{1} << in;
  const RowMask outside = pool_of(setup.numbers) & ~row & ~in_bit;
  const int right = setup.guarantee.right;
  const std::vector<RowMask> rests = subsets_of(outside, setup.guarantee.if_drawn - right);
  for_each_subset(row & ~out_bit, right - 1, [&](RowMask held) {
    for (const RowMask rest : rests) visit(rank_of(held | rest | out_bit), rank_of(held | rest | in_bit));
  });
}

std::int64_t CoverModel::weight_change(const Move& move) const {
  std::int64_t change = 0;
  for_each_changed(setup_, rows_[move.row], move.out, move.in, [&](std::uint32_t lost, std::uint32_t gained) {
    if (sets_[lost].covers == 1) change += sets_[lost].weight;
    if (sets_[gained].covers == 0) change -= sets_[gained].weight;
  });
  return change;
}

void CoverModel::apply(const Move& move, Step& step) {
  RowMask& row = rows_[move.row];
  for_each_changed(setup_, row, move.out, move.in, [this](std::uint32_t lost, std::uint32_t gained) {
    uncover(lost);
    cover(gained);
  });
  row ^= (RowMask{1} << move.out) | (RowMask{1} << move.in);
  step.forbid(move.row, static_cast<std::size_t>(move.out));
}

// Of the changes of one number that make a row cover `set`, one of those
// that uncover the least weight, drawn at random; none when every such
// change is tabu or no row meets `set` in t - 1 numbers.
//
// A row R that meets `set` in t - 1 numbers may give any x of R outside it
// for any y of it outside R. Rather than weigh each (x, y) alone, the
// weights are summed once for each x and once for each y: x uncovers the
// m-sets H + x + Q, H of t - 1 numbers of R - x and Q of m - t numbers
// outside R, except those with y in Q; y covers H + y + Q, Q outside R + y,
// except those with x in H. The exceptions are summed in the same pass.
std::optional<CoverModel::Move> CoverModel::best_change(RowMask set, Step& step) {
  const int right = setup_.guarantee.right;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const RowMask row = rows_[r];
    if (std::popcount(row & set) != right - 1) continue;
    const RowMask outs = row & ~set;
    const RowMask ins = set & ~row;
    const auto in_index = [ins](RowMask bit) { return std::popcount(ins & (bit - 1)); };
    const auto out_index = [outs](RowMask bit) { return std::popcount(outs & (bit - 1)); };
    helds_.clear();
    for_each_subset(row, right - 1, [this](RowMask held) { helds_.push_back(held); });
    rests_.clear();
    for_each_subset(pool_ & ~row, setup_.guarantee.if_drawn - right, [this](RowMask rest) { rests_.push_back(rest); });
    std::array<std::int64_t, kLargestDrawn> lost{};                               // by x
    std::array<std::int64_t, kLargestDrawn> gained{};                             // by y
    std::array<std::array<std::int64_t, kLargestDrawn>, kLargestDrawn> kept{};    // by x, y: lost but not with y
    std::array<std::array<std::int64_t, kLargestDrawn>, kLargestDrawn> missed{};  // by y, x: gained but not with x
    for_each_number(outs, [&](int out) {
      const RowMask out_bit = RowMask{1} << out;
      const auto x = static_cast<std::size_t>(out_index(out_bit));
      for (const RowMask held : helds_) {
        if ((held & out_bit) != 0) continue;
        for (const RowMask rest : rests_) {
          const SetCount& count = sets_[rank_of(held | out_bit | rest)];
          if (count.covers != 1) continue;
          lost[x] += count.weight;
          for_each_number(rest & ins, [&](int in) {
            kept[x][static_cast<std::size_t>(in_index(RowMask{1} << in))] += count.weight;
          });
        }
      }
    });
    for_each_number(ins, [&](int in) {
      const RowMask in_bit = RowMask{1} << in;
      const auto y = static_cast<std::size_t>(in_index(in_bit));
      for (const RowMask held : helds_) {
        for (const RowMask rest : rests_) {
          if ((rest & in_bit) != 0) continue;
          const SetCount& count = sets_[rank_of(held | in_bit | rest)];
          if (count.covers != 0) continue;
          gained[y] += count.weight;
          for_each_number(held & outs, [&](int out) {
            missed[y][static_cast<std::size_t>(out_index(RowMask{1} << out))] += count.weight;
          });
        }
      }
    });
    const TabuMemory::Row tabu = step.tabu.row(r);
    for_each_number(outs, [&](int out) {
      const auto x = static_cast<std::size_t>(out_index(RowMask{1} << out));
      for_each_number(ins, [&](int in) {
        if (tabu.forbids(static_cast<std::size_t>(in), step.now)) return;
        const auto y = static_cast<std::size_t>(in_index(RowMask{1} << in));
        const std::int64_t change = (lost[x] - kept[x][y]) - (gained[y] - missed[y][x]);
        best_.offer(change, Move{r, out, in, change}, step.random);
      });
    });
  }
  return best_.take(step.random);
}

// A row drawn at random takes one more number of `set`.
CoverModel::Move CoverModel::forced_move(RowMask set, rt::Random& random) const {
  const std::size_t r = below(random, rows_.size());
  const RowMask row = rows_[r];
  const int out = std::countr_zero(drawn_number(row & ~set, random));
  const int in = std::countr_zero(drawn_number(set & ~row, random));
  Move move{r, out, in, 0};
  move.change = weight_change(move);
  return move;
}

// Stuck: every m-set left uncovered weighs one more.
void CoverModel::break_out(Step& /*step*/) {
  bool halve = false;
  for (const std::uint32_t set : uncovered_) halve = ++sets_[set].weight == kHeaviest || halve;
  if (halve) {
    for (SetCount& count : sets_) count.weight = (count.weight + 1) / 2;
  }
}

std::uint64_t CoverModel::loss(RowMask row) const {
  std::uint64_t lost = 0;
  for_each_covered(setup_, row, [&](std::uint32_t set) { lost += sets_[set].covers == 1 ? 1U : 0U; });
  return lost;
}

// Keeps the rows if they are the best so far; a cover of the fewest goes on
// with the row whose loss uncovers the fewest m-sets taken out.
// Calls dropped(r) for each row r taken out.
template <typename Dropped>
void CoverModel::record(Dropped dropped) {
  if (setup_.budget) {
    if (uncovered_.size() < best_uncovered_) {
      best_uncovered_ = uncovered_.size();
      best_rows_ = rows_;
    }
    done_ = best_uncovered_ == 0;
    return;
  }
  while (uncovered_.empty()) {
    best_rows_ = rows_;
    best_uncovered_ = 0;
    if (rows_.size() <= setup_.lower_bound) {
      done_ = true;
      return;
    }
    const std::size_t least = *cheapest_to_drop<Equals::kFirst>(
        rows_.size(), [](std::size_t) { return true; }, [this](std::size_t r) { return loss(rows_[r]); });
    for_each_covered(setup_, rows_[least], [this](std::uint32_t set) { uncover(set); });
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(least));
    dropped(least);
  }
}

std::optional<CoverModel::Move> CoverModel::best_move(Step& step) {
  const RowMask set = unrank_of(uncovered_.draw(step.random), setup_.numbers, setup_.guarantee.if_drawn);
  std::optional<Move> best = best_change(set, step);
  return best ? best : forced_move(set, step.random);
}

void CoverModel::end_step(Step& step) {
  if (setup_.budget || uncovered_.empty()) record([&step](std::size_t dropped) { step.tabu.remove_row(dropped); });
}

}  // namespace rivit
