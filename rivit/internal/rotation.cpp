#include "rivit/internal/rotation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "rivit/internal/local_search.h"

namespace rivit {

namespace {

// The uphill chance of a base row's swap, per unit of the orbit excess (a
// unit is half an orbit's pairs). Tuned on 7 of 40, where 0.1 met targets
// that 0.02 and 0.3 missed.
using Uphill = UphillChance<100, 1000, 8>;
// The excess is counted in units of half an orbit's pairs: two orbits meet
// at each turn in a whole orbit's pairs, two units, one in each order; an
// orbit's own pairs at turn s are those at turn -s, one unit at each.
constexpr std::int64_t kBothOrders = 2;

// One bit for each turn s of a base row, 0 to numbers - 1.
using Turns = std::uint64_t;

// shared[s] = the numbers that `row` shares with `other` turned s places.
// Row x and other's number z meet in the turn x - z.
using SharedByTurn = std::array<int, kMostNumbers>;

}  // namespace

// The model of a search by rotation: the rows search's, over the base rows,
// whose excess counts what the rows of whole orbits share.
class Orbits {
 public:
  using Move = Swap;  // of a base row, its change of the excess
  using Acceptance = Uphill;
  static constexpr Breakout kBreakout = Breakout::kNever;

  Orbits(const RotationSearch& search, rt::Random& random)
      : lottery_(search.lottery),
        target_(search.target),
        bases_(whole_orbits(lottery_, search.rows) / static_cast<std::size_t>(lottery_.numbers)),
        base_excess_(bases_.size()),
        others_(bases_.size()),
        turned_in_(static_cast<std::size_t>(lottery_.numbers) * bases_.size()),
        room_(bases_.size()) {
    RowDraw draw;
    for (RowMask& base : bases_) base = draw.next(random, lottery_);
    for (std::size_t a = 0; a < bases_.size(); ++a) {
      base_excess_[a] = own_excess(bases_[a]);
      for (std::size_t c = 0; c < bases_.size(); ++c) {
        if (c != a) base_excess_[a] += cross_excess(bases_[a], bases_[c]);
      }
      excess_ += base_excess_[a];
    }
    best_bases_ = bases_;
    best_excess_ = excess_;
  }

  // A base row in some excess at random, and its best swap.
  std::optional<Move> best_move(Step& step) {
    const std::size_t a = conflicted_base(step.random);
    load_others(a);
    return best_swap(a, step);
  }
  static std::int64_t worsening(const Move& swap) { return swap.change; }
  void apply(const Move& swap, Step& step);
  void end_step(Step& /*step*/) {
    if (excess_ < best_excess_) {
      best_excess_ = excess_;
      best_bases_ = bases_;
    }
  }
  bool finished() const { return best_excess_ == 0; }

  const std::vector<RowMask>& best_bases() const { return best_bases_; }

 private:
  // A base row's part in one other base row's excess: for each turn s, the
  // numbers shared beyond the target, through the masks of the turns where
  // it is over the target, at or over it and exactly at it.
  struct Other {
    Turns over = 0;
    Turns at_least = 0;
    Turns at = 0;
    std::int64_t excess = 0;
  };

  SharedByTurn shared_by_turn(RowMask row, RowMask other) const {
    SharedByTurn shared{};
    for_each_number(row, [&](int x) {
      for_each_number(
          other, [&](int z) { ++shared[static_cast<std::size_t>((x - z + lottery_.numbers) % lottery_.numbers)]; });
    });
    return shared;
  }
  std::int64_t excess(int shared) const { return std::max(0, shared - target_); }
  // Row's orbit against other's, in one order of the two (kBothOrders).
  std::int64_t cross_excess(RowMask row, RowMask other) const {
    const SharedByTurn shared = shared_by_turn(row, other);
    std::int64_t sum = 0;
    for (int s = 0; s < lottery_.numbers; ++s) sum += excess(shared[static_cast<std::size_t>(s)]);
    return sum;
  }
  // An orbit's own pairs: turns s and -s name the same pairs, so each counts
  // once per turn, in the same unit.
  std::int64_t own_excess(RowMask row) const {
    std::int64_t sum = 0;
    for (int s = 1; s < lottery_.numbers; ++s) sum += excess(std::popcount(row & turned(row, s, lottery_)));
    return sum;
  }

  // The n-th base row in some excess, n drawn.
  std::size_t conflicted_base(rt::Random& random) const {
    std::size_t conflicted = 0;
    for (const std::int64_t e : base_excess_) conflicted += e > 0 ? 1 : 0;
    std::size_t pick = below(random, conflicted);
    std::size_t a = 0;
    while (base_excess_[a] == 0 || pick-- != 0) ++a;
    return a;
  }

  // Fills others_ and turned_in_ for base row a.
  void load_others(std::size_t a) {
    const std::size_t count = bases_.size();
    for (std::size_t c = 0; c < count; ++c) {
      if (c == a) continue;
      const SharedByTurn shared = shared_by_turn(bases_[a], bases_[c]);
      Other& other = others_[c];
      other = Other{};
      for (int s = 0; s < lottery_.numbers; ++s) {
        const int at = shared[static_cast<std::size_t>(s)];
        const Turns bit = Turns{1} << s;
        if (at > target_) other.over |= bit;
        if (at >= target_) other.at_least |= bit;
        if (at == target_) other.at |= bit;
        other.excess += excess(at);
      }
      RowMask negated = 0;
      for_each_number(bases_[c], [&](int z) { negated |= RowMask{1} << ((lottery_.numbers - z) % lottery_.numbers); });
      for (int n = 0; n < lottery_.numbers; ++n) {
        turned_in_[static_cast<std::size_t>(n) * count + c] = turned(negated, n, lottery_);
      }
    }
  }

  // The swap of base row a that lowers the excess most (ties at random),
  // not undoing a recent one unless that reaches a new low. Its own orbit's
  // change comes from its shared counts by turn: taking out a number drops
  // the turns out - z and z - out for each other number z, giving one
  // raises in - z and z - in.
  std::optional<Move> best_swap(std::size_t a, Step& step) {
    const RowMask row = bases_[a];
    const std::size_t count = bases_.size();
    SharedByTurn own = shared_by_turn(row, row);
    const auto at = [&](int turn) -> int& {
      return own[static_cast<std::size_t>((turn + lottery_.numbers) % lottery_.numbers)];
    };
    const auto lower = [&](int turn) { return at(turn)-- > target_ ? 1 : 0; };
    const auto raise = [&](int turn) { return at(turn)++ >= target_ ? 1 : 0; };
    const TabuMemory::Row tabu = step.tabu.row(a);
    // What giving each number raises the other orbits' excess by, before
    // the turns where the number taken out makes room.
    std::array<std::int64_t, kMostNumbers> raised{};
    for_each_number(all_numbers(lottery_) & ~row, [&](int in) {
      const Turns* const in_turns = &turned_in_[static_cast<std::size_t>(in) * count];
      for (std::size_t c = 0; c < count; ++c) {
        if (c != a)
          raised[static_cast<std::size_t>(in)] += kBothOrders * std::popcount(in_turns[c] & others_[c].at_least);
      }
    });
    for_each_number(row, [&](int out) {
      const Turns* const out_turns = &turned_in_[static_cast<std::size_t>(out) * count];
      const RowMask rest = row & ~(RowMask{1} << out);
      std::int64_t lost = 0;
      for (std::size_t c = 0; c < count; ++c) {
        room_[c] = c == a ? 0 : out_turns[c] & others_[c].at;
        if (c != a) lost += kBothOrders * std::popcount(out_turns[c] & others_[c].over);
      }
      for_each_number(rest, [&](int z) { lost += lower(out - z) + lower(z - out); });
      for_each_number(all_numbers(lottery_) & ~row, [&](int in) {
        const Turns* const in_turns = &turned_in_[static_cast<std::size_t>(in) * count];
        std::int64_t gained = raised[static_cast<std::size_t>(in)];
        for (std::size_t c = 0; c < count; ++c) gained -= kBothOrders * std::popcount(in_turns[c] & room_[c]);
        for_each_number(rest, [&](int z) { gained += raise(in - z) + raise(z - in); });
        for_each_number(rest, [&](int z) { at(in - z) -= 1, at(z - in) -= 1; });
        const std::int64_t change = gained - lost;
        if (tabu.forbids(static_cast<std::size_t>(in), step.now) && excess_ + change >= best_excess_) return;
        best_.offer(change, {a, out, in, change}, step.random);
      });
      for_each_number(rest, [&](int z) { at(out - z) += 1, at(z - out) += 1; });
    });
    return best_.take(step.random);
  }

  Lottery lottery_;
  int target_;
  std::vector<RowMask> bases_;
  std::vector<std::int64_t> base_excess_;  // each base row's own excess plus its part in every cross pair
  std::int64_t excess_ = 0;                // the sum of base_excess_
  BestMove<std::int64_t, Move, Ties::kDrawEachTie> best_;
  // In a step, its base row against each other base row, and for each
  // number n and other base row c, the turns in which c holds n (at n * count + c).
  std::vector<Other> others_;
  std::vector<Turns> turned_in_;
  // In a step, for the number taken out, the turns of each other base row at
  // the target that it frees (none for the step's own row).
  std::vector<Turns> room_;
  std::vector<RowMask> best_bases_;
  std::int64_t best_excess_ = 0;
};

void Orbits::apply(const Move& swap, Step& step) {
  const std::size_t a = swap.row;
  const RowMask swapped = bases_[a] ^ (RowMask{1} << swap.out) ^ (RowMask{1} << swap.in);
  bases_[a] = swapped;
  base_excess_[a] = own_excess(swapped);
  for (std::size_t c = 0; c < bases_.size(); ++c) {
    if (c == a) continue;
    const std::int64_t now = cross_excess(swapped, bases_[c]);
    base_excess_[c] += now - others_[c].excess;
    base_excess_[a] += now;
  }
  excess_ += swap.change;
  step.forbid(a, static_cast<std::size_t>(swap.out));
}

class RotationWalk : public LocalSearch<Orbits> {
 public:
  using LocalSearch::LocalSearch;
};

namespace {

// Cuts rows back to `keep` rows, dropping a row with the most excess (the
// last of them) each time; then the last rows.
void drop_worst(std::vector<RowMask>& rows, std::size_t keep, int target, std::uint64_t& excess) {
  const std::size_t count = rows.size();
  std::vector<std::uint64_t> row_excess(count);
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i + 1; j < count; ++j) {
      const int over = std::popcount(rows[i] & rows[j]) - target;
      if (over <= 0) continue;
      row_excess[i] += static_cast<std::uint64_t>(over);
      row_excess[j] += static_cast<std::uint64_t>(over);
      excess += static_cast<std::uint64_t>(over);
    }
  }
  std::vector<bool> dropped(count);
  for (std::size_t left = count; left > keep; --left) {
    const std::size_t worst = *cheapest_to_drop<Equals::kLast>(
        count, [&](std::size_t i) { return !dropped[i]; },
        [&](std::size_t i) { return -static_cast<std::int64_t>(row_excess[i]); });
    dropped[worst] = true;
    for (std::size_t j = 0; j < count; ++j) {
      const int over = std::popcount(rows[worst] & rows[j]) - target;
      if (dropped[j] || over <= 0) continue;
      row_excess[j] -= static_cast<std::uint64_t>(over);
      excess -= static_cast<std::uint64_t>(over);
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!dropped[i]) rows[kept++] = rows[i];
  }
  rows.resize(keep);
}

}  // namespace

RowMask turned(RowMask row, int by, Lottery lottery) {
  if (by == 0) return row;
  return ((row << by) | (row >> (lottery.numbers - by))) & all_numbers(lottery);
}

std::size_t whole_orbits(Lottery lottery, std::size_t rows) {
  const auto numbers = static_cast<std::size_t>(lottery.numbers);
  return (rows + numbers - 1) / numbers * numbers;
}

bool rotation_fits(Lottery lottery, std::size_t rows) {
  const auto numbers = static_cast<std::size_t>(lottery.numbers);
  return rows >= numbers && rows <= kMostBaseRows * numbers;
}

RotatedRowsSearch::RotatedRowsSearch(const RotationSearch& search, rt::Random& random)
    : search_(search),
      walk_(std::make_unique<RotationWalk>(
          Orbits(search, random),
          TabuMemory(whole_orbits(search.lottery, search.rows) / static_cast<std::size_t>(search.lottery.numbers),
                     static_cast<std::size_t>(search.lottery.numbers)),
          kSwapTenure, search.steps)) {}
RotatedRowsSearch::~RotatedRowsSearch() = default;
RotatedRowsSearch::RotatedRowsSearch(RotatedRowsSearch&&) noexcept = default;
RotatedRowsSearch& RotatedRowsSearch::operator=(RotatedRowsSearch&&) noexcept = default;

void RotatedRowsSearch::advance(std::uint64_t steps, rt::Random& random) { walk_->advance(steps, random); }

bool RotatedRowsSearch::done() const { return walk_->done(); }

RotatedRows RotatedRowsSearch::result() const {
  RotatedRows found;
  for (const RowMask base : walk_->model().best_bases()) {
    for (int s = 0; s < search_.lottery.numbers; ++s) found.rows.push_back(turned(base, s, search_.lottery));
  }
  drop_worst(found.rows, search_.rows, search_.target, found.excess);
  found.steps_taken = walk_->steps();
  return found;
}

}  // namespace rivit
