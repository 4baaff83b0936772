#include "rivit/circles.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "rivit/local_search.h"

namespace rivit {

namespace {

// How long the search for the points to leave out goes on.
constexpr int kLeaveOutTries = 4000;
// The steps of the walk that chooses among the rows from circles, and how
// long a row it swaps stays put: tuned on 7 of 40.
constexpr int kChoiceSteps = 500;
constexpr int kChoiceTenure = 7;

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

// The points to leave out, `count` of the `points`, for the most circles
// that keep `length` or more: random swaps of a point out for a point in,
// kept when they keep no fewer circles.
Points left_out(const std::vector<Points>& all, int points, int count, int most_out, rt::Random& random) {
  std::vector<int> order(static_cast<std::size_t>(points));
  for (int p = 0; p < points; ++p) order[static_cast<std::size_t>(p)] = p;
  for (int p = 0; p < count; ++p) {
    const int pick = p + below(random, points - p);
    std::swap(order[static_cast<std::size_t>(p)], order[static_cast<std::size_t>(pick)]);
  }
  const auto as_points = [&] {
    Points out;
    for (int p = 0; p < count; ++p) out.add(order[static_cast<std::size_t>(p)]);
    return out;
  };
  const auto kept = [&](const Points& out) {
    return std::count_if(all.begin(), all.end(),
                         [&](const Points& circle) { return circle.count_in(out) <= most_out; });
  };
  Points out = as_points();
  if (count == 0) return out;
  auto best = kept(out);
  for (int t = 0; t < kLeaveOutTries; ++t) {
    const auto leaving = static_cast<std::size_t>(below(random, count));
    const int pick = count + below(random, points - count);
    const auto coming = static_cast<std::size_t>(pick);
    std::swap(order[leaving], order[coming]);
    const Points tried = as_points();
    if (const auto now = kept(tried); now >= best) {
      best = now;
      out = tried;
    } else {
      std::swap(order[leaving], order[coming]);
    }
  }
  return out;
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

// A choice of some of the rows from circles, for the fewest pairs that share
// two numbers (close pairs), then the most even use of the numbers.
class Choice {
 public:
  explicit Choice(std::vector<RowMask> rows)
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

  // Drops rows down to `wanted`, the one in the most close pairs (then the
  // one whose going evens the use most) each time; then walks: each step
  // swaps a kept row for a dropped one, the swap that lowers the close pairs
  // most, then evens the use most (ties at random), even when it worsens
  // them, but never brings back a row dropped, or drops a row kept, in the
  // last few steps; the best choice seen is kept.
  std::vector<RowMask> choose(std::size_t wanted, rt::Random& random) {
    for (std::size_t left = count_; left > wanted; --left) {
      std::size_t going = count_;
      for (std::size_t i = 0; i < count_; ++i) {
        if (kept_[i] && (going == count_ || worth_of_going(i) >= worth_of_going(going))) going = i;
      }
      flip(going);
    }
    if (wanted < count_) walk(random);
    std::vector<RowMask> chosen;
    for (std::size_t i = 0; i < count_; ++i) {
      if (best_kept_[i]) chosen.push_back(rows_[i]);
    }
    return chosen;
  }

 private:
  // What a choice is worth, less is better: its close pairs, then the sum of
  // the squares of the numbers' uses.
  using Worth = std::pair<std::int64_t, std::int64_t>;

  std::pair<int, std::int64_t> worth_of_going(std::size_t i) const {
    return {close_[i], -squares_after(usage_, rows_[i], 0)};
  }

  // The change of the worth when kept row i gives way to dropped row j.
  Worth change_of_swap(std::size_t i, std::size_t j) const {
    const int closer = close_[j] - close_[i] - (is_close_[i * count_ + j] ? 1 : 0);
    std::int64_t squares = 0;
    for_each_number(rows_[i] & ~rows_[j], [&](int n) { squares += 1 - 2 * usage_[static_cast<std::size_t>(n)]; });
    for_each_number(rows_[j] & ~rows_[i], [&](int n) { squares += 1 + 2 * usage_[static_cast<std::size_t>(n)]; });
    return {closer, squares};
  }

  void walk(rt::Random& random) {
    Worth now{0, squares_after(usage_, 0, 0)};
    for (std::size_t i = 0; i < count_; ++i) now.first += kept_[i] ? close_[i] : 0;
    now.first /= 2;
    Worth best = now;
    best_kept_ = kept_;
    std::vector<int> tabu_until(count_);
    for (int step = 1; step <= kChoiceSteps; ++step) {
      Worth least{std::numeric_limits<std::int64_t>::max(), 0};
      std::pair<std::size_t, std::size_t> swap{count_, count_};
      std::size_t ties = 0;
      for (std::size_t i = 0; i < count_; ++i) {
        if (!kept_[i] || tabu_until[i] >= step) continue;
        for (std::size_t j = 0; j < count_; ++j) {
          if (kept_[j] || tabu_until[j] >= step) continue;
          const Worth change = change_of_swap(i, j);
          if (change > least) continue;
          if (change < least) {
            least = change;
            ties = 0;
          }
          if (below(random, ++ties) == 0) swap = {i, j};
        }
      }
      if (swap.first == count_) break;
      flip(swap.first);
      flip(swap.second);
      tabu_until[swap.first] = step + kChoiceTenure;
      tabu_until[swap.second] = step + kChoiceTenure;
      now = {now.first + least.first, now.second + least.second};
      if (now < best) {
        best = now;
        best_kept_ = kept_;
      }
    }
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
};

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
  return Choice(std::move(rows)).choose(wanted, random);
}

}  // namespace rivit
