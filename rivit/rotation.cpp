#include "rivit/rotation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "rivit/local_search.h"

namespace rivit {

namespace {

// The uphill chance of a base row's swap, per unit of the orbit excess (a
// unit is half an orbit's pairs). Tuned on 7 of 40, where 0.1 met targets
// that 0.02 and 0.3 missed.
using Uphill = UphillChance<100, 1000, 8>;
// The tabu tenure of a number taken out of a base row, as in the rows search.
constexpr int kTenure = 10;
constexpr int kTenureSpread = 10;
constexpr std::uint64_t kStepsBetweenChecks = 64;

// One bit for each turn s of a base row, 0 to numbers - 1.
using Turns = std::uint64_t;

// shared[s] = the numbers that `row` shares with `other` turned s places.
// Row x and other's number z meet in the turn x - z.
using SharedByTurn = std::array<int, kMostNumbers>;

class RotationWalk {
 public:
  RotationWalk(const RotationSearch& search, rt::Random& random)
      : lottery_(search.lottery),
        target_(search.target),
        random_(random),
        bases_(whole_orbits(lottery_, search.rows) / static_cast<std::size_t>(lottery_.numbers)),
        base_excess_(bases_.size()),
        tabu_until_(bases_.size() * static_cast<std::size_t>(lottery_.numbers)),
        others_(bases_.size()),
        turned_in_(static_cast<std::size_t>(lottery_.numbers) * bases_.size()) {
    RowDraw draw;
    for (RowMask& base : bases_) base = draw.next(random_, lottery_);
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

  void run(const RotationSearch& search) {
    while (best_excess_ > 0 && steps_ < search.steps) {
      if (steps_ % kStepsBetweenChecks == 0 && search.deadline &&
          std::chrono::steady_clock::now() >= *search.deadline) {
        break;
      }
      step();
      ++steps_;
      if (excess_ < best_excess_) {
        best_excess_ = excess_;
        best_bases_ = bases_;
      }
    }
  }

  std::uint64_t steps_taken() const { return steps_; }
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
  // Both orders of a pair of orbits count, so a unit is half an orbit's pairs.
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

  // The turns s in which `other` holds the number `number` - s.
  Turns turns_holding(RowMask other_negated, int number) const { return turned(other_negated, number, lottery_); }

  void step() {
    std::size_t a = 0;
    {
      std::size_t conflicted = 0;
      for (const std::int64_t e : base_excess_) conflicted += e > 0 ? 1 : 0;
      std::size_t pick = below(random_, conflicted);
      while (base_excess_[a] == 0 || pick-- != 0) ++a;
    }
    const RowMask row = bases_[a];
    const std::size_t count = bases_.size();
    const auto numbers = static_cast<std::size_t>(lottery_.numbers);
    for (std::size_t c = 0; c < count; ++c) {
      if (c == a) continue;
      const SharedByTurn shared = shared_by_turn(row, bases_[c]);
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
      for (std::size_t n = 0; n < numbers; ++n) turned_in_[n * count + c] = turns_holding(negated, static_cast<int>(n));
    }
    const std::int64_t own_before = own_excess(row);
    std::int64_t best_change = std::numeric_limits<std::int64_t>::max();
    int best_out = -1;
    int best_in = -1;
    std::size_t ties = 0;
    const std::uint64_t* const tabu = &tabu_until_[a * numbers];
    for_each_number(row, [&](int out) {
      const Turns* const out_turns = &turned_in_[static_cast<std::size_t>(out) * count];
      std::int64_t lost = 0;
      for (std::size_t c = 0; c < count; ++c) {
        if (c != a) lost += std::popcount(out_turns[c] & others_[c].over);
      }
      for_each_number(all_numbers(lottery_) & ~row, [&](int in) {
        const Turns* const in_turns = &turned_in_[static_cast<std::size_t>(in) * count];
        std::int64_t gained = 0;
        for (std::size_t c = 0; c < count; ++c) {
          if (c == a) continue;
          gained += std::popcount(in_turns[c] & others_[c].at_least) -
                    std::popcount(in_turns[c] & out_turns[c] & others_[c].at);
        }
        const RowMask swapped = row ^ (RowMask{1} << out) ^ (RowMask{1} << in);
        const std::int64_t change = 2 * (gained - lost) + own_excess(swapped) - own_before;
        if (tabu[in] > steps_ && excess_ + change >= best_excess_) return;
        if (change > best_change) return;
        if (change < best_change) {
          best_change = change;
          ties = 0;
        }
        // Of the tied swaps, each is kept with chance 1 / (ties so far).
        if (below(random_, ++ties) == 0) {
          best_out = out;
          best_in = in;
        }
      });
    });
    if (best_out < 0 || !Uphill::takes(random_, best_change)) return;
    const RowMask swapped = row ^ (RowMask{1} << best_out) ^ (RowMask{1} << best_in);
    bases_[a] = swapped;
    base_excess_[a] = own_excess(swapped);
    for (std::size_t c = 0; c < count; ++c) {
      if (c == a) continue;
      const std::int64_t now = cross_excess(swapped, bases_[c]);
      base_excess_[c] += now - others_[c].excess;
      base_excess_[a] += now;
    }
    excess_ += best_change;
    tabu_until_[a * numbers + static_cast<std::size_t>(best_out)] =
        steps_ + static_cast<std::uint64_t>(kTenure + below(random_, kTenureSpread));
  }

  Lottery lottery_;
  int target_;
  rt::Random& random_;
  std::vector<RowMask> bases_;
  std::vector<std::int64_t> base_excess_;  // each base row's own excess plus its part in every cross pair
  std::int64_t excess_ = 0;                // the sum of base_excess_
  std::vector<std::uint64_t> tabu_until_;  // by base row and number: the step until which it may not come back
  // In a step, its base row against each other base row, and for each
  // number n and other base row c, the turns in which c holds n (at n * count + c).
  std::vector<Other> others_;
  std::vector<Turns> turned_in_;
  std::vector<RowMask> best_bases_;
  std::int64_t best_excess_ = 0;
  std::uint64_t steps_ = 0;
};

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
    std::size_t worst = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (!dropped[i] && (dropped[worst] || row_excess[i] >= row_excess[worst])) worst = i;
    }
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
  if (lottery.numbers == kMostNumbers) return std::rotl(row, by);
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

RotatedRows rotated_rows(const RotationSearch& search, rt::Random& random) {
  RotationWalk walk(search, random);
  walk.run(search);
  RotatedRows found;
  for (const RowMask base : walk.best_bases()) {
    for (int s = 0; s < search.lottery.numbers; ++s) found.rows.push_back(turned(base, s, search.lottery));
  }
  drop_worst(found.rows, search.rows, search.target, found.excess);
  found.steps_taken = walk.steps_taken();
  return found;
}

}  // namespace rivit
