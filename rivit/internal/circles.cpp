#include "rivit/internal/circles.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <utility>

#include "rivit/internal/local_search.h"

namespace rivit {

namespace {

// How long the search for the points to leave out goes on.
constexpr std::uint64_t kLeaveOutTries = 4000;
// The steps of the walk that chooses among the rows from circles, and how
// long a row it swaps stays put (the step it is swapped in and 7 more):
// tuned on 7 of 40.
constexpr std::uint64_t kChoiceSteps = 500;
constexpr Tenure kChoiceTenure{8, 0};

// A set of up to 128 points, for the circles of q <= 11.
struct Points {
  std::array<std::uint64_t, 2> words{};

  void add(int point) { words[static_cast<std::size_t>(point / 64)] |= std::uint64_t{1} << (point % 64); }
  bool has(int point) const { return ((words[static_cast<std::size_t>(point / 64)] >> (point % 64)) & 1) != 0; }
  int count_in(const Points& other) const {
    return std::popcount(words[0] & other.words[0]) + std::popcount(words[1] & other.words[1]);
  }
  // Word by word, the first word first. (Written out: not every C++ library
  // defaults a three-way comparison through std::array yet.)
  friend bool operator==(const Points& a, const Points& b) { return a.words == b.words; }
  friend bool operator<(const Points& a, const Points& b) {
    return a.words[0] != b.words[0] ? a.words[0] < b.words[0] : a.words[1] < b.words[1];
  }
};

bool is_prime(int n) {
  for (int d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return n >= 2;
}

// The field of q^2 elements, a + b s with s^2 = r, a non-square modulo q;
// the element a + b s is the point a + q b, and q^2 the point at infinity.
class Field {
 public:
  explicit Field(int q) : q_(q) {
    r_ = 2;
    while (is_square(r_)) ++r_;
    inverse_.resize(static_cast<std::size_t>(q) * static_cast<std::size_t>(q));
    for (int x = 1; x < q * q; ++x) {
      for (int y = 1; y < q * q; ++y) {
        if (times(x, y) == 1) inverse_[static_cast<std::size_t>(x)] = y;
      }
    }
  }

  int size() const { return q_ * q_; }
  int infinity() const { return q_ * q_; }
  int plus(int x, int y) const { return (x % q_ + y % q_) % q_ + q_ * ((x / q_ + y / q_) % q_); }
  int times(int x, int y) const {
    const int a = x % q_, b = x / q_, c = y % q_, d = y / q_;
    return (a * c + r_ * b * d) % q_ + q_ * ((a * d + b * c) % q_);
  }
  // REQUIRES: x != 0.
  int inverse(int x) const { return inverse_[static_cast<std::size_t>(x)]; }

 private:
  bool is_square(int n) const {
    for (int x = 1; x < q_; ++x) {
      if (x * x % q_ == n) return true;
    }
    return false;
  }

  int q_;
  int r_;
  std::vector<int> inverse_;
};

// Every circle once: the subfield line {0, ..., q - 1, infinity} moved by
// z -> a z + b (which fixes infinity) and by z -> a + e / (z + d), which
// between them reach every circle. The line is kept by z -> l z (l != 0) and
// z -> z + l for l in the subfield, so the factors a and e need only one
// element of each class x * (subfield): 1 and c + s for c in the subfield;
// and d only one of each class x + (subfield): the multiples of s.
std::vector<Points> circles(int q) {
  const Field field(q);
  const int elements = field.size();
  std::vector<int> classes{1};
  for (int c = 0; c < q; ++c) classes.push_back(c + q);
  std::vector<Points> found;
  const auto add_image = [&](auto map) {
    Points circle;
    for (int z = 0; z < q; ++z) circle.add(map(z));
    circle.add(map(field.infinity()));
    found.push_back(circle);
  };
  for (const int a : classes) {
    for (int b = 0; b < elements; ++b) {
      add_image([&](int z) { return z == field.infinity() ? z : field.plus(field.times(a, z), b); });
    }
  }
  for (const int e : classes) {
    for (int a = 0; a < elements; ++a) {
      for (int d = 0; d < elements; d += q) {
        add_image([&](int z) {
          if (z == field.infinity()) return a;
          const int shifted = field.plus(z, d);
          return shifted == 0 ? field.infinity() : field.plus(a, field.times(e, field.inverse(shifted)));
        });
      }
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

int least_prime(Lottery lottery) {
  int q = 3;
  while (!is_prime(q) || q + 1 < lottery.length || q * q + 1 < lottery.numbers) ++q;
  return q;
}

// The model of the search for the points to leave out, `count` of the
// `points`, for the most circles that keep `length` or more: random swaps of
// a point out for a point in, kept when they keep no fewer circles.
class LeftOut {
 public:
  struct Move {
    std::size_t leaving = 0;  // in order_
    std::size_t coming = 0;
    Points tried;
    std::int64_t kept = 0;  // circles
  };
  using Acceptance = TakeNoWorse;
  static constexpr Breakout kBreakout = Breakout::kNever;

  // Draws the first points to leave out from `random`.
  LeftOut(const std::vector<Points>& all, int points, int count, int most_out, rt::Random& random)
      : all_(&all), count_(count), most_out_(most_out), order_(static_cast<std::size_t>(points)) {
    std::iota(order_.begin(), order_.end(), 0);
    for (int p = 0; p < count; ++p) {
      const int pick = p + below(random, points - p);
      std::swap(order_[static_cast<std::size_t>(p)], order_[static_cast<std::size_t>(pick)]);
    }
    out_ = as_points();
    if (count_ != 0) best_ = kept(out_);
  }

  std::optional<Move> best_move(Step& step) {
    Move move;
    move.leaving = static_cast<std::size_t>(below(step.random, count_));
    const int pick = count_ + below(step.random, static_cast<int>(order_.size()) - count_);
    move.coming = static_cast<std::size_t>(pick);
    std::swap(order_[move.leaving], order_[move.coming]);
    move.tried = as_points();
    std::swap(order_[move.leaving], order_[move.coming]);
    move.kept = kept(move.tried);
    return move;
  }
  std::int64_t worsening(const Move& move) const { return best_ - move.kept; }
  void apply(const Move& move, Step& /*step*/) {
    std::swap(order_[move.leaving], order_[move.coming]);
    out_ = move.tried;
    best_ = move.kept;
  }
  void end_step(Step& /*step*/) {}
  // Nothing to leave out: nothing to search.
  bool finished() const { return count_ == 0; }

  const Points& out() const { return out_; }

 private:
  Points as_points() const {
    Points out;
    for (int p = 0; p < count_; ++p) out.add(order_[static_cast<std::size_t>(p)]);
    return out;
  }
  std::int64_t kept(const Points& out) const {
    return std::count_if(all_->begin(), all_->end(),
                         [&](const Points& circle) { return circle.count_in(out) <= most_out_; });
  }

  const std::vector<Points>* all_;
  int count_;
  int most_out_;
  std::vector<int> order_;  // of the points: the first count_ left out
  Points out_;
  std::int64_t best_ = 0;  // the circles that out_ keeps
};

Points left_out(const std::vector<Points>& all, int points, int count, int most_out, rt::Random& random) {
  LocalSearch<LeftOut> search(LeftOut(all, points, count, most_out, random), TabuMemory(0, 0), Tenure{},
                              kLeaveOutTries);
  search.advance(kLeaveOutTries, random);
  return search.model().out();
}

// The sum of the squares of the numbers' uses, which is least when they are
// used most evenly, after row `out` gives way to row `in` (either may be 0).
std::int64_t squares_after(const std::array<int, kMostNumbers>& usage, RowMask out, RowMask in) {
  std::int64_t sum = 0;
  for (std::size_t n = 0; n < usage.size(); ++n) {
    const std::int64_t use = usage[n] - static_cast<int>((out >> n) & 1) + static_cast<int>((in >> n) & 1);
    sum += use * use;
  }
  return sum;
}

// The model of a choice of some of the rows from circles, for the fewest
// pairs that share two numbers (close pairs), then the most even use of the
// numbers. Rows are dropped down to the number wanted, the one in the most
// close pairs (then the one whose going evens the use most) each time; then
// the search walks: each step swaps a kept row for a dropped one, the swap
// that lowers the close pairs most, then evens the use most (ties at
// random), even when it worsens them, but never brings back a row dropped,
// or drops a row kept, in the last few steps; the best choice seen is kept.
class CircleChoice {
 public:
  // What a choice is worth, less is better: its close pairs, then the sum of
  // the squares of the numbers' uses.
  using Worth = std::pair<std::int64_t, std::int64_t>;
  struct Move {
    std::size_t kept = 0;     // the row that goes
    std::size_t dropped = 0;  // the row that comes back
    Worth change;
  };
  using Acceptance = TakeEvery;
  static constexpr Breakout kBreakout = Breakout::kNever;

  explicit CircleChoice(std::vector<RowMask> rows)
      : rows_(std::move(rows)), count_(rows_.size()), kept_(count_, true), close_(count_), is_close_(count_ * count_) {
    for (std::size_t i = 0; i < count_; ++i) {
      for_each_number(rows_[i], [&](int n) { ++usage_[static_cast<std::size_t>(n)]; });
      for (std::size_t j = 0; j < count_; ++j) {
        if (i != j && std::popcount(rows_[i] & rows_[j]) >= 2) {
          is_close_[i * count_ + j] = true;
          ++close_[i];
        }
      }
    }
  }

  std::size_t count() const { return count_; }

  // Drops rows down to `wanted`; the choice left is the best so far.
  void reduce(std::size_t wanted) {
    for (std::size_t left = count_; left > wanted; --left) {
      flip(*cheapest_to_drop<Equals::kLast>(
          count_, [this](std::size_t i) { return kept_[i]; },
          [this](std::size_t i) {
            return Worth{-close_[i], squares_after(usage_, rows_[i], 0)};
          }));
    }
    now_ = {0, squares_after(usage_, 0, 0)};
    for (std::size_t i = 0; i < count_; ++i) now_.first += kept_[i] ? close_[i] : 0;
    now_.first /= 2;
    best_ = now_;
    best_kept_ = kept_;
  }

  std::optional<Move> best_move(Step& step) {
    for (std::size_t i = 0; i < count_; ++i) {
      if (!kept_[i] || step.tabu.forbids(0, i, step.now)) continue;
      for (std::size_t j = 0; j < count_; ++j) {
        if (kept_[j] || step.tabu.forbids(0, j, step.now)) continue;
        const Worth change = change_of_swap(i, j);
        swap_.offer(change, {i, j, change}, step.random);
      }
    }
    const std::optional<Move> move = swap_.take(step.random);
    stalled_ = !move;
    return move;
  }
  static std::int64_t worsening(const Move& move) { return move.change.first; }
  void apply(const Move& move, Step& step) {
    flip(move.kept);
    flip(move.dropped);
    step.forbid(0, move.kept);
    step.forbid(0, move.dropped);
    now_ = {now_.first + move.change.first, now_.second + move.change.second};
  }
  void end_step(Step& /*step*/) {
    if (now_ < best_) {
      best_ = now_;
      best_kept_ = kept_;
    }
  }
  // Every swap is tabu.
  bool finished() const { return stalled_; }

  std::vector<RowMask> chosen() const {
    std::vector<RowMask> chosen;
    for (std::size_t i = 0; i < count_; ++i) {
      if (best_kept_[i]) chosen.push_back(rows_[i]);
    }
    return chosen;
  }

 private:
  // The change of the worth when kept row i gives way to dropped row j.
  Worth change_of_swap(std::size_t i, std::size_t j) const {
    const int closer = close_[j] - close_[i] - (is_close_[i * count_ + j] ? 1 : 0);
    std::int64_t squares = 0;
    for_each_number(rows_[i] & ~rows_[j], [&](int n) { squares += 1 - 2 * usage_[static_cast<std::size_t>(n)]; });
    for_each_number(rows_[j] & ~rows_[i], [&](int n) { squares += 1 + 2 * usage_[static_cast<std::size_t>(n)]; });
    return {closer, squares};
  }

  // Keeps row i if it was dropped, drops it if it was kept.
  void flip(std::size_t i) {
    kept_[i] = !kept_[i];
    const int change = kept_[i] ? 1 : -1;
    for_each_number(rows_[i], [&](int n) { usage_[static_cast<std::size_t>(n)] += change; });
    for (std::size_t j = 0; j < count_; ++j) {
      if (is_close_[i * count_ + j]) close_[j] += change;
    }
  }

  std::vector<RowMask> rows_;
  std::size_t count_;
  std::vector<bool> kept_;
  std::vector<bool> best_kept_ = kept_;
  std::vector<int> close_;  // the kept rows that share two numbers with each row
  std::vector<bool> is_close_;
  std::array<int, kMostNumbers> usage_{};  // the kept rows that hold each number
  Worth now_;
  Worth best_;
  BestMove<Worth, Move, Ties::kDrawEachTie> swap_;
  bool stalled_ = false;
};

// `wanted` of the rows, chosen by CircleChoice's search.
std::vector<RowMask> chosen_rows(std::vector<RowMask> rows, std::size_t wanted, rt::Random& random) {
  CircleChoice choice(std::move(rows));
  choice.reduce(wanted);
  if (wanted == choice.count()) return choice.chosen();
  const std::size_t count = choice.count();
  LocalSearch<CircleChoice> search(std::move(choice), TabuMemory(1, count), kChoiceTenure, kChoiceSteps);
  search.advance(kChoiceSteps, random);
  return search.model().chosen();
}

}  // namespace

std::vector<RowMask> circle_rows(Lottery lottery, std::size_t wanted, rt::Random& random) {
  const int q = least_prime(lottery);
  const int points = q * q + 1;
  if (points > 2 * lottery.numbers) return {};
  const std::vector<Points> all = circles(q);
  const Points out = left_out(all, points, points - lottery.numbers, q + 1 - lottery.length, random);
  // The lottery's numbers, in the order of the points kept.
  std::vector<int> number_of(static_cast<std::size_t>(points), -1);
  for (int p = 0, n = 0; p < points; ++p) {
    if (!out.has(p)) number_of[static_cast<std::size_t>(p)] = n++;
  }
  std::vector<RowMask> rows;
  std::array<int, kMostNumbers> usage{};
  for (const Points& circle : all) {
    if (circle.count_in(out) > q + 1 - lottery.length) continue;
    RowMask row = 0;
    for (int p = 0; p < points; ++p) {
      if (circle.has(p) && !out.has(p)) row |= RowMask{1} << number_of[static_cast<std::size_t>(p)];
    }
    rows.push_back(row);
    for_each_number(row, [&](int n) { ++usage[static_cast<std::size_t>(n)]; });
  }
  if (rows.size() < wanted) return {};
  for (RowMask& row : rows) {
    while (std::popcount(row) > lottery.length) {
      int most_used = std::countr_zero(row);
      for_each_number(row, [&](int n) {
        if (usage[static_cast<std::size_t>(n)] > usage[static_cast<std::size_t>(most_used)]) most_used = n;
      });
      row &= ~(RowMask{1} << most_used);
      --usage[static_cast<std::size_t>(most_used)];
    }
  }
  return chosen_rows(std::move(rows), wanted, random);
}

}  // namespace rivit
