#include "rivit/tier_odds.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <utility>

namespace rivit {

namespace {

// A set of lines, 64 lines a word: bit i of word w for the line 64 w + i.
// Sets of second-drum classes are words the same way.
using Word = std::uint64_t;
constexpr std::size_t kBitsInWord = 64;

// The count is shared out by the first numbers of the draw's part inside the
// lines' numbers, this many of them (fewer when the lines hold fewer): a few
// hundred pieces for lines that hold every number, so that two counters end
// together.
constexpr int kSharedOutBy = 2;

// The most classes of second-drum draws a count goes through: each line
// keeps, for each of its possible hits there, the set of classes giving
// them.
constexpr std::size_t kMostSecondClasses = 1024;

// A count that does not fit 64 bits.
constexpr std::uint64_t kTooMany = std::numeric_limits<std::uint64_t>::max();

constexpr std::uint64_t saturating_plus(std::uint64_t a, std::uint64_t b) { return b > kTooMany - a ? kTooMany : a + b; }

std::uint64_t saturating_times(std::uint64_t a, std::uint64_t b) {
  std::uint64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? kTooMany : product;
}

std::size_t words_for(std::size_t bits) { return std::max<std::size_t>(1, (bits + kBitsInWord - 1) / kBitsInWord); }

bool any(const Word* set, std::size_t words) {
  Word bits = 0;
  for (std::size_t w = 0; w < words; ++w) bits |= set[w];
  return bits != 0;
}

// Calls visit(i) for each member i of the set, lowest first, until it
// returns false.
template <typename Visit>
void for_each_member(const Word* set, std::size_t words, Visit visit) {
  for (std::size_t w = 0; w < words; ++w) {
    for (Word bits = set[w]; bits != 0; bits &= bits - 1) {
      if (!visit(w * kBitsInWord + static_cast<std::size_t>(std::countr_zero(bits)))) return;
    }
  }
}

// C(n, k) by Pascal's triangle for every n of a game and every k of a line or
// draw, kTooMany where it does not fit; 0 outside the triangle.
class Binomials {
 public:
  constexpr Binomials() {
    for (int n = 0; n < kRows; ++n) {
      at(n, 0) = 1;
      for (int k = 1; k < kColumns && k <= n; ++k) at(n, k) = saturating_plus(at(n - 1, k - 1), at(n - 1, k));
    }
  }
  // REQUIRES: n <= kMostGameNumbers, k <= kMostLineNumbers.
  constexpr std::uint64_t operator()(int n, int k) const { return n < 0 || k < 0 || k > n ? 0 : table_[index(n, k)]; }

 private:
  static constexpr int kRows = kMostGameNumbers + 1;
  static constexpr int kColumns = kMostLineNumbers + 1;
  static constexpr std::size_t index(int n, int k) { return static_cast<std::size_t>(n * kColumns + k); }
  constexpr std::uint64_t& at(int n, int k) { return table_[index(n, k)]; }
  std::array<std::uint64_t, static_cast<std::size_t>(kRows* kColumns)> table_{};
};

constexpr Binomials kChoose;

// Where the bonus hits decide whether a line with the tier's other hits
// meets it.
bool bonus_decides(const TierCondition& when) { return when.bonus || (when.bonus_at_least && *when.bonus_at_least > 0); }

int second_drawn(const Game& game) { return game.has_second() ? game.second.drawn : 0; }

// C(N, D)·C(N − D, B)·C(n, k), kTooMany where it does not fit.
std::uint64_t outcomes_of(const Game& game) {
  const std::uint64_t second = game.has_second() ? kChoose(game.second.numbers, game.second.drawn) : 1;
  return saturating_times(saturating_times(kChoose(game.main.numbers, game.main.drawn),
                                           kChoose(game.main.numbers - game.main.drawn, game.bonus)),
                          second);
}

// The second drum's draws by their part inside the union of the lines'
// second numbers: each class a part, weighted by the draws that have it. A
// game without a second drum has one class, where every line has 0 hits.
struct SecondClasses {
  std::size_t count = 0;
  std::size_t words = 0;
  std::vector<std::uint64_t> weights;
  std::vector<Word> every;
  // The classes where line i has j hits: words at (i (k + 1) + j) words.
  std::vector<Word> hits;

  const Word* with_hits(std::size_t line, int j, int k) const {
    return hits.data() + (line * static_cast<std::size_t>(k + 1) + static_cast<std::size_t>(j)) * words;
  }
  std::uint64_t weight_of(const Word* classes) const {
    std::uint64_t sum = 0;
    for_each_member(classes, words, [&](std::size_t c) {
      sum += weights[c];
      return true;
    });
    return sum;
  }
};

void add_subsets(const std::vector<int>& numbers, std::size_t from, int most, int least, NumberSet subset,
                 std::vector<NumberSet>& out) {
  if (subset.size() >= least) out.push_back(subset);
  if (subset.size() == most) return;
  for (std::size_t i = from; i < numbers.size(); ++i) {
    NumberSet next = subset;
    next.add(numbers[i]);
    add_subsets(numbers, i + 1, most, least, next, out);
  }
}

// The classes, or none at all when there would be more than
// kMostSecondClasses.
SecondClasses second_classes(const Game& game, std::span<const GameLine> lines) {
  SecondClasses classes;
  const int n = game.has_second() ? game.second.numbers : 0;
  const int k = second_drawn(game);
  NumberSet held;
  for (const GameLine& line : lines) held = held | line.second;
  const int u = held.size();
  const int least = std::max(0, k - (n - u));
  std::uint64_t count = 0;
  for (int s = least; s <= std::min(k, u); ++s) count = saturating_plus(count, kChoose(u, s));
  if (count > kMostSecondClasses) return classes;

  std::vector<NumberSet> parts;
  add_subsets(held.numbers(), 0, k, least, NumberSet{}, parts);
  classes.count = parts.size();
  classes.words = words_for(parts.size());
  classes.every.resize(classes.words);
  classes.hits.resize(lines.size() * static_cast<std::size_t>(k + 1) * classes.words);
  for (std::size_t c = 0; c < parts.size(); ++c) {
    classes.weights.push_back(kChoose(n - u, k - parts[c].size()));
    classes.every[c / kBitsInWord] |= Word{1} << (c % kBitsInWord);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int j = (lines[i].second & parts[c]).size();
      classes.hits[(i * static_cast<std::size_t>(k + 1) + static_cast<std::size_t>(j)) * classes.words +
                   c / kBitsInWord] |= Word{1} << (c % kBitsInWord);
    }
  }
  return classes;
}

}  // namespace

// What every counter of a count shares: the lines turned on their side, the
// classes of the second drum, and the tables that bound the walk.
//
// The best tier of an outcome is never worse than the worst tier a line with
// the top main hits can win, whatever its bonus and second hits: worst[h].
// Where the lines' numbers still to come can raise the top hits from M by up
// to r, the best is never worse than cap(r, M), the worst of worst[M..M + r],
// so the tiers from cap(r, M) on need not be looked at, nor the lines too
// few hits below them to reach the main hits of a tier before it: the lowest
// level kept, floor(d, M) at the depth d, rises by at least one a depth.
struct TierCount::Plan {
  Plan(const Game& of, std::span<const GameLine> with);

  std::size_t none() const { return game.tiers.size(); }
  std::size_t cap(int r, int top) const {
    return caps[static_cast<std::size_t>(r) * static_cast<std::size_t>(most_hits + 1) + static_cast<std::size_t>(top)];
  }
  int floor(int depth, int top) const {
    return floors[static_cast<std::size_t>(depth) * static_cast<std::size_t>(most_hits + 1) +
                  static_cast<std::size_t>(top)];
  }
  const Word* holding(int q) const { return holders.data() + static_cast<std::size_t>(q) * words; }
  int depth() const { return game.main.drawn; }
  // True when classes of this depth have draws.
  bool counted_at(int depth_of) const { return depth_of >= lowest_depth; }
  std::uint64_t work_below(int depth_of, int q) const;

  Game game;
  std::vector<GameLine> lines;
  std::uint64_t outcomes = 0;
  int most_hits = 0;  // min(line, drawn)

  std::vector<int> numbers;  // the union of the lines' main numbers, ascending
  std::array<int, kMostGameNumbers + 1> index_of{};
  std::vector<NumberSet> numbers_from;  // numbers[q..]
  std::size_t words = 0;                // of a set of lines
  std::vector<Word> every_line;
  std::vector<Word> holders;  // for each number of `numbers`, the lines holding it

  SecondClasses second;
  std::uint64_t bonus_outcomes = 0;        // C(N − D, B)
  std::vector<std::uint64_t> main_weight;  // by the size of the draw's part inside `numbers`
  int lowest_depth = 0;                    // the smallest part with draws

  std::vector<std::size_t> worst;  // by main hits
  std::vector<std::size_t> caps;
  std::vector<int> floors;

  int piece_depth = 0;
  bool short_piece = false;  // piece 0: the classes shorter than piece_depth
  std::vector<int> prefixes;
  std::vector<std::uint64_t> piece_work;
};

namespace {

// The worst tier a line with h main hits wins, whatever its bonus and second
// hits; `none` where one of them wins nothing.
std::vector<std::size_t> worst_tiers(const Game& game, int most_hits) {
  std::vector<std::size_t> worst(static_cast<std::size_t>(most_hits + 1), 0);
  for (int h = 0; h <= most_hits; ++h) {
    for (int b = 0; b <= std::min(game.line - h, game.bonus); ++b) {
      for (int s = 0; s <= second_drawn(game); ++s) {
        const std::optional<std::size_t> tier = tier_of(game, h, b, s);
        worst[static_cast<std::size_t>(h)] = std::max(worst[static_cast<std::size_t>(h)], tier.value_or(game.tiers.size()));
      }
    }
  }
  return worst;
}

}  // namespace

TierCount::Plan::Plan(const Game& of, std::span<const GameLine> with)
    : game(of), lines(with.begin(), with.end()), outcomes(outcomes_of(of)) {
  const int drawn = game.main.drawn;
  most_hits = std::min(game.line, drawn);
  index_of.fill(-1);
  NumberSet held;
  for (const GameLine& line : lines) held = held | line.main;
  numbers = held.numbers();
  numbers_from.resize(numbers.size() + 1);
  for (std::size_t q = numbers.size(); q-- > 0;) {
    index_of[static_cast<std::size_t>(numbers[q])] = static_cast<int>(q);
    numbers_from[q] = numbers_from[q + 1];
    numbers_from[q].add(numbers[q]);
  }
  words = words_for(lines.size());
  every_line.resize(words);
  holders.resize(numbers.size() * words);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Word bit = Word{1} << (i % kBitsInWord);
    every_line[i / kBitsInWord] |= bit;
    lines[i].main.for_each([&](int n) {
      holders[static_cast<std::size_t>(index_of[static_cast<std::size_t>(n)]) * words + i / kBitsInWord] |= bit;
    });
  }

  second = second_classes(game, lines);
  const int u = static_cast<int>(numbers.size());
  bonus_outcomes = kChoose(game.main.numbers - drawn, game.bonus);
  for (int s = 0; s <= drawn; ++s) main_weight.push_back(kChoose(game.main.numbers - u, drawn - s));
  lowest_depth = std::max(0, drawn - (game.main.numbers - u));

  worst = worst_tiers(game, most_hits);
  const auto hits = static_cast<std::size_t>(most_hits + 1);
  caps.assign(static_cast<std::size_t>(drawn + 1) * hits, none());
  floors.assign(static_cast<std::size_t>(drawn + 1) * hits, 0);
  for (int r = 0; r <= drawn && !lines.empty(); ++r) {
    for (int top = 0; top <= most_hits; ++top) {
      std::size_t cap = 0;
      for (int h = top; h <= std::min(top + r, most_hits); ++h) cap = std::max(cap, worst[static_cast<std::size_t>(h)]);
      caps[static_cast<std::size_t>(r) * hits + static_cast<std::size_t>(top)] = cap;
    }
  }
  for (int d = 0; d <= drawn; ++d) {
    const int r = drawn - d;
    for (int top = 0; top <= most_hits; ++top) {
      int lowest = top - r;
      for (std::size_t t = 0; t < cap(r, top); ++t) {
        if (game.tiers[t].when.main) lowest = std::min(lowest, *game.tiers[t].when.main - r);
      }
      floors[static_cast<std::size_t>(d) * hits + static_cast<std::size_t>(top)] = std::max(0, lowest);
    }
  }

  // No pieces for a count that cannot be exact.
  if (outcomes == kTooMany || second.count == 0) return;
  piece_depth = std::min({kSharedOutBy, drawn, u});
  short_piece = piece_depth > 0;
  if (short_piece) {
    std::uint64_t work = 0;
    for (int s = lowest_depth; s < piece_depth; ++s) work = saturating_plus(work, kChoose(u, s));
    piece_work.push_back(saturating_times(work, second.count));
  }
  std::vector<int> prefix;
  const auto add_prefixes = [&](const auto& self, int from) -> void {
    if (static_cast<int>(prefix.size()) == piece_depth) {
      const std::uint64_t work = work_below(piece_depth, prefix.empty() ? -1 : prefix.back());
      if (work == 0) return;
      prefixes.insert(prefixes.end(), prefix.begin(), prefix.end());
      piece_work.push_back(work);
      return;
    }
    for (int q = from; q < u; ++q) {
      prefix.push_back(q);
      self(self, q + 1);
      prefix.pop_back();
    }
  };
  add_prefixes(add_prefixes, 0);
}

// The classes of the part that ends with numbers[q] at depth_of numbers, and
// of every part that goes on from it, times the second drum's classes.
std::uint64_t TierCount::Plan::work_below(int depth_of, int q) const {
  const int later = static_cast<int>(numbers.size()) - 1 - q;
  std::uint64_t work = 0;
  for (int s = depth_of; s <= std::min(depth(), depth_of + later); ++s) {
    if (counted_at(s)) work = saturating_plus(work, kChoose(later, s - depth_of));
  }
  return saturating_times(work, second.count);
}

// Counts the outcomes of one counter, a piece at a time, by a walk over the
// parts of the draw inside the lines' numbers, adding numbers in increasing
// order. At each part of d numbers it keeps, as sets of lines, at_least[h]:
// the lines with at least h hits, and `top`, the most hits of a line; adding
// the number x makes at_least[h] |= at_least[h − 1] & holders(x), and a line
// with exactly h hits is in at_least[h] and not in at_least[h + 1].
//
// A class's tier is the first tier that a line meets: the lines with its main
// hits (any line where it asks none), those of them with its second hits in
// some class of the second drum, and, for a tier that asks for bonus hits,
// the classes of the bonus numbers among the lines that can still decide.
//
// Without a second drum the parts one number longer than a part are settled
// together, as sets of the numbers added (settle_children): a tier's main
// hits are reached by the new number x where a line one short holds x, or a
// line at the hits does not, so a number x meets a tier when it is in the
// union of the numbers of the lines one short, or outside the intersection of
// those of the lines at its hits. The last number of a draw then costs no
// walk.
class TierWalker {
 public:
  explicit TierWalker(const TierCount::Plan& plan)
      : plan_(plan),
        levels_(static_cast<std::size_t>(plan.most_hits + 2)),
        sets_(static_cast<std::size_t>(plan.depth() + 1) * levels_ * plan.words),
        top_(static_cast<std::size_t>(plan.depth() + 1)),
        last_(static_cast<std::size_t>(plan.depth() + 1), -1),
        drawn_(static_cast<std::size_t>(plan.depth() + 1)),
        lines_(plan.words),
        deciding_lines_(plan.game.tiers.size() * plan.words),
        deciding_tiers_(plan.game.tiers.size()),
        bonus_sets_(static_cast<std::size_t>(plan.game.bonus + 1) * static_cast<std::size_t>(plan.game.bonus + 2) *
                    plan.words),
        classes_(plan.second.words),
        remaining_(plan.second.words) {
    tally_.tiers.resize(plan.game.tiers.size());
  }

  void count(std::size_t piece) {
    if (plan_.short_piece && piece == 0) return count_short(0);
    const std::size_t first = plan_.short_piece ? piece - 1 : piece;
    const auto depth = static_cast<std::size_t>(plan_.piece_depth);
    for (std::size_t d = 0; d < depth; ++d) extend(static_cast<int>(d), plan_.prefixes[first * depth + d]);
    if (plan_.counted_at(plan_.piece_depth)) settle_class(plan_.piece_depth);
    descend(plan_.piece_depth);
  }

  const TierTally& tally() const { return tally_; }

 private:
  Word* at_least(int depth, int h) {
    return sets_.data() + (static_cast<std::size_t>(depth) * levels_ + static_cast<std::size_t>(h)) * plan_.words;
  }
  const Word* at_least_or_every(int depth, int h) {
    return h == 0 ? plan_.every_line.data() : at_least(depth, h);
  }
  int top(int depth) const { return top_[static_cast<std::size_t>(depth)]; }

  // The part at depth + 1: the one at `depth` and numbers[q].
  void extend(int depth, int q) {
    const std::size_t words = plan_.words;
    const Word* holders = plan_.holding(q);
    const int reached = top(depth);
    const Word* reaching = at_least_or_every(depth, reached);
    Word* above = at_least(depth + 1, reached + 1);
    Word raised = 0;
    for (std::size_t w = 0; w < words; ++w) raised |= above[w] = reaching[w] & holders[w];
    const int next_top = raised != 0 ? reached + 1 : reached;
    for (int h = std::max(1, plan_.floor(depth + 1, next_top)); h <= reached; ++h) {
      const Word* fewer = at_least_or_every(depth, h - 1);
      const Word* same = at_least(depth, h);
      Word* next = at_least(depth + 1, h);
      for (std::size_t w = 0; w < words; ++w) next[w] = same[w] | (fewer[w] & holders[w]);
    }
    const auto d = static_cast<std::size_t>(depth);
    top_[d + 1] = next_top;
    last_[d + 1] = q;
    drawn_[d + 1] = drawn_[d];
    drawn_[d + 1].add(plan_.numbers[static_cast<std::size_t>(q)]);
  }

  void descend(int depth) {
    if (depth == plan_.depth()) return;
    const int from = last_[static_cast<std::size_t>(depth)] + 1;
    const int u = static_cast<int>(plan_.numbers.size());
    const bool counted = plan_.counted_at(depth + 1);
    const bool together = !plan_.game.has_second();
    if (together && counted && from < u) settle_children(depth, from);
    for (int q = from; q < u; ++q) {
      const bool deeper = depth + 1 < plan_.depth() && q + 1 < u && depth + 1 + (u - 1 - q) >= plan_.lowest_depth;
      if (!deeper && (together || !counted)) break;
      extend(depth, q);
      if (!together && counted) settle_class(depth + 1);
      if (deeper) descend(depth + 1);
    }
  }

  // The classes of fewer numbers than a piece's prefix, each on its own.
  void count_short(int depth) {
    if (plan_.counted_at(depth)) settle_class(depth);
    if (depth + 1 >= plan_.piece_depth) return;
    for (int q = last_[static_cast<std::size_t>(depth)] + 1; q < static_cast<int>(plan_.numbers.size()); ++q) {
      extend(depth, q);
      count_short(depth + 1);
    }
  }

  // Calls visit(i) for each line with exactly h hits at `depth`, until it
  // returns false.
  template <typename Visit>
  void for_each_line_at(int depth, int h, Visit visit) {
    const int reached = top(depth);
    if (h > reached) return;
    const Word* these = at_least_or_every(depth, h);
    if (h == reached) return for_each_member(these, plan_.words, visit);
    const Word* more = at_least(depth, h + 1);
    for (std::size_t w = 0; w < plan_.words; ++w) {
      for (Word bits = these[w] & ~more[w]; bits != 0; bits &= bits - 1) {
        if (!visit(w * kBitsInWord + static_cast<std::size_t>(std::countr_zero(bits)))) return;
      }
    }
  }

  // The lines with the tier's main hits at `depth` into `out`; false when
  // there are none.
  bool lines_with_main(int depth, const TierCondition& when, Word* out) {
    const std::size_t words = plan_.words;
    if (!when.main) {
      std::copy_n(plan_.every_line.data(), words, out);
      return any(out, words);
    }
    const int h = *when.main;
    const int reached = top(depth);
    if (h > reached) return false;
    const Word* these = at_least_or_every(depth, h);
    if (h == reached) {
      std::copy_n(these, words, out);
    } else {
      const Word* more = at_least(depth, h + 1);
      for (std::size_t w = 0; w < words; ++w) out[w] = these[w] & ~more[w];
    }
    return any(out, words);
  }

  // The classes of `remaining` where one of `lines` has the tier's second
  // hits, into classes_; false when there are none.
  bool classes_meeting(const Word* lines, const TierCondition& when, const Word* remaining) {
    const SecondClasses& second = plan_.second;
    const std::size_t words = second.words;
    if (!when.second) {
      std::copy_n(remaining, words, classes_.data());
      return true;
    }
    std::fill(classes_.begin(), classes_.end(), 0);
    const int k = second_drawn(plan_.game);
    for_each_member(lines, plan_.words, [&](std::size_t line) {
      const Word* with = second.with_hits(line, *when.second, k);
      bool all = true;
      for (std::size_t w = 0; w < words; ++w) {
        classes_[w] |= with[w];
        all = all && (remaining[w] & ~classes_[w]) == 0;
      }
      return !all;
    });
    for (std::size_t w = 0; w < words; ++w) classes_[w] &= remaining[w];
    return any(classes_.data(), words);
  }

  // The class of the part at `depth`, with each class of the second drum.
  void settle_class(int depth) {
    const std::uint64_t weight = plan_.main_weight[static_cast<std::size_t>(depth)];
    const std::size_t cap = plan_.cap(0, top(depth));
    const SecondClasses& second = plan_.second;
    std::copy(second.every.begin(), second.every.end(), remaining_.begin());
    for (std::size_t t = 0; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      if (!lines_with_main(depth, when, lines_.data()) || !classes_meeting(lines_.data(), when, remaining_.data())) {
        continue;
      }
      if (bonus_decides(when)) {
        for_each_member(classes_.data(), second.words, [&](std::size_t c) {
          settle_bonus(depth, t, cap, c, weight * second.weights[c]);
          return true;
        });
      } else {
        add(t, weight * plan_.bonus_outcomes * second.weight_of(classes_.data()));
      }
      bool left = false;
      for (std::size_t w = 0; w < second.words; ++w) left |= (remaining_[w] &= ~classes_[w]) != 0;
      if (!left) return;
    }
    add(cap, weight * plan_.bonus_outcomes * second.weight_of(remaining_.data()));
  }

  // The parts at depth + 1 that add a number numbers[from..] to the part at
  // `depth`, settled together; a game without a second drum.
  void settle_children(int depth, int from) {
    NumberSet children = plan_.numbers_from[static_cast<std::size_t>(from)];
    const std::uint64_t weight = plan_.main_weight[static_cast<std::size_t>(depth + 1)];
    const std::size_t cap = plan_.cap(1, top(depth));
    for (std::size_t t = 0; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      const NumberSet met = when.main ? children_reaching(depth, *when.main, children) : children;
      if (met.empty()) continue;
      if (bonus_decides(when)) {
        met.for_each([&](int x) {
          extend(depth, plan_.index_of[static_cast<std::size_t>(x)]);
          settle_bonus(depth + 1, t, plan_.cap(0, top(depth + 1)), 0, weight);
        });
      } else {
        add(t, weight * plan_.bonus_outcomes * static_cast<std::uint64_t>(met.size()));
      }
      children = children - met;
      if (children.empty()) return;
    }
    add(cap, weight * plan_.bonus_outcomes * static_cast<std::uint64_t>(children.size()));
  }

  // The numbers of `children` whose part has a line with exactly h hits: a
  // line at h that does not hold the number, or a line one short that does.
  NumberSet children_reaching(int depth, int h, NumberSet children) {
    const std::vector<GameLine>& lines = plan_.lines;
    NumberSet met;
    NumberSet common = children;
    for_each_line_at(depth, h, [&](std::size_t i) {
      common = common & lines[i].main;
      return !common.empty();
    });
    met = children - common;
    if (h == 0 || met == children) return met;
    for_each_line_at(depth, h - 1, [&](std::size_t i) {
      met = met | (lines[i].main & children);
      return met != children;
    });
    return met;
  }

  // The class of the part at `depth` and the second drum's class c, from the
  // tier `from` on, where the bonus decides: the tiers from `from` that a line
  // meets but for the bonus, up to the first it meets whatever the bonus, and
  // the bonus numbers by their part inside those lines' numbers.
  void settle_bonus(int depth, std::size_t from, std::size_t cap, std::size_t c, std::uint64_t weight) {
    const std::size_t words = plan_.words;
    const int k = second_drawn(plan_.game);
    std::size_t fallback = cap;
    deciding_ = 0;
    NumberSet their_numbers;
    for (std::size_t t = from; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      Word* lines = deciding_lines_.data() + deciding_ * words;
      if (!lines_with_main(depth, when, lines)) continue;
      if (when.second) {
        for_each_member(lines, words, [&](std::size_t line) {
          const Word* with = plan_.second.with_hits(line, *when.second, k);
          if (((with[c / kBitsInWord] >> (c % kBitsInWord)) & 1) == 0) {
            lines[line / kBitsInWord] &= ~(Word{1} << (line % kBitsInWord));
          }
          return true;
        });
        if (!any(lines, words)) continue;
      }
      if (!bonus_decides(when)) {
        fallback = t;
        break;
      }
      deciding_tiers_[deciding_++] = t;
      for_each_member(lines, words, [&](std::size_t line) {
        their_numbers = their_numbers | plan_.lines[line].main;
        return true;
      });
    }
    fallback_ = fallback;
    bonus_numbers_ = (their_numbers - drawn_[static_cast<std::size_t>(depth)]).numbers();
    bonus_weight_ = weight;
    bonus_draws(0, 0);
  }

  // The lines with at least j bonus hits when `taken` bonus numbers are
  // among the deciding lines' numbers.
  Word* bonus_at_least(int taken, int j) {
    const auto levels = static_cast<std::size_t>(plan_.game.bonus + 2);
    return bonus_sets_.data() + (static_cast<std::size_t>(taken) * levels + static_cast<std::size_t>(j)) * plan_.words;
  }
  const Word* bonus_at_least_or_every(int taken, int j) {
    return j == 0 ? plan_.every_line.data() : bonus_at_least(taken, j);
  }

  // The bonus draws whose part inside the deciding numbers holds the
  // `taken` numbers chosen so far and others of bonus_numbers_[from..].
  void bonus_draws(int taken, std::size_t from) {
    const std::size_t words = plan_.words;
    std::size_t best = fallback_;
    for (std::size_t i = 0; i < deciding_ && best == fallback_; ++i) {
      const TierCondition& when = plan_.game.tiers[deciding_tiers_[i]].when;
      const Word* lines = deciding_lines_.data() + i * words;
      const int exactly = when.bonus.value_or(0);
      const int least = std::max(when.bonus_at_least.value_or(0), exactly);
      if (least > taken) continue;
      const Word* enough = bonus_at_least_or_every(taken, least);
      const Word* more = when.bonus && exactly < taken ? bonus_at_least(taken, exactly + 1) : nullptr;
      for (std::size_t w = 0; w < words; ++w) {
        if ((lines[w] & enough[w] & (more ? ~more[w] : ~Word{0})) != 0) {
          best = deciding_tiers_[i];
          break;
        }
      }
    }
    const int drawn = plan_.game.main.drawn;
    const int outside = plan_.game.main.numbers - drawn - static_cast<int>(bonus_numbers_.size());
    add(best, bonus_weight_ * kChoose(outside, plan_.game.bonus - taken));
    if (taken == plan_.game.bonus) return;
    for (std::size_t i = from; i < bonus_numbers_.size(); ++i) {
      const Word* holders = plan_.holding(plan_.index_of[static_cast<std::size_t>(bonus_numbers_[i])]);
      for (int j = 1; j <= taken + 1; ++j) {
        const Word* fewer = bonus_at_least_or_every(taken, j - 1);
        const Word* same = j <= taken ? bonus_at_least(taken, j) : nullptr;
        Word* next = bonus_at_least(taken + 1, j);
        for (std::size_t w = 0; w < words; ++w) next[w] = (same ? same[w] : 0) | (fewer[w] & holders[w]);
      }
      bonus_draws(taken + 1, i + 1);
    }
  }

  void add(std::size_t tier, std::uint64_t outcomes) {
    if (outcomes == 0) return;
    if (tier < tally_.tiers.size()) {
      tally_.tiers[tier] += outcomes;
    } else {
      tally_.none += outcomes;
    }
  }

  const TierCount::Plan& plan_;
  std::size_t levels_;      // at_least[0] to at_least[most hits + 1] at each depth
  std::vector<Word> sets_;  // at depths 0 to drawn; at_least[0] is unused
  std::vector<int> top_;
  std::vector<int> last_;  // the index of the last number added at each depth
  std::vector<NumberSet> drawn_;
  std::vector<Word> lines_;
  // The bonus's walk: the tiers that the bonus decides, their lines, the
  // tier met whatever the bonus, the numbers of those lines not drawn.
  std::vector<Word> deciding_lines_;
  std::vector<std::size_t> deciding_tiers_;
  std::size_t deciding_ = 0;
  std::size_t fallback_ = 0;
  std::vector<int> bonus_numbers_;
  std::uint64_t bonus_weight_ = 0;
  std::vector<Word> bonus_sets_;
  std::vector<Word> classes_;
  std::vector<Word> remaining_;
  TierTally tally_;
};

void TierTally::add(const TierTally& other) {
  tiers.resize(std::max(tiers.size(), other.tiers.size()));
  for (std::size_t t = 0; t < other.tiers.size(); ++t) tiers[t] += other.tiers[t];
  none += other.none;
}

TierCount::TierCount(const Game& game, std::span<const GameLine> lines)
    : plan_(std::make_unique<Plan>(game, lines)) {}
TierCount::~TierCount() = default;

std::uint64_t TierCount::work() const {
  if (plan_->outcomes == kTooMany || plan_->second.count == 0) return kTooMany;
  std::uint64_t work = 0;
  for (const std::uint64_t piece : plan_->piece_work) work = saturating_plus(work, piece);
  return work;
}

std::size_t TierCount::pieces() const { return plan_->piece_work.size(); }

std::uint64_t TierCount::work_of(std::size_t i) const { return plan_->piece_work[i]; }

TierOdds TierCount::odds(const TierTally& every_piece) const {
  TierOdds odds{.lines = plan_->lines.size(),
                .outcomes = plan_->outcomes,
                .tiers = every_piece.tiers,
                .none = every_piece.none};
  odds.tiers.resize(plan_->game.tiers.size());
  return odds;
}

TierCount::Counter::Counter(const TierCount& count)
    : walker_(std::make_unique<TierWalker>(*count.plan_)) {}
TierCount::Counter::~Counter() = default;
TierCount::Counter::Counter(Counter&&) noexcept = default;
TierCount::Counter& TierCount::Counter::operator=(Counter&&) noexcept = default;

void TierCount::Counter::count(std::size_t i) { walker_->count(i); }

const TierTally& TierCount::Counter::tally() const { return walker_->tally(); }

TierOdds tier_odds_of(const Game& game, std::span<const GameLine> lines) {
  const TierCount count(game, lines);
  TierCount::Counter counter(count);
  for (std::size_t i = 0; i < count.pieces(); ++i) counter.count(i);
  return count.odds(counter.tally());
}

std::optional<std::string> tier_odds_problem(const TierCount& count) {
  const TierCount::Plan& plan = *count.plan_;
  if (plan.outcomes == kTooMany) return "the game has too many outcomes to count exactly";
  if (count.work() <= kMostTierWork) return std::nullopt;
  NumberSet second;
  for (const GameLine& line : plan.lines) second = second | line.second;
  std::string held = "the lines hold " + std::to_string(plan.numbers.size()) + " numbers";
  if (plan.game.has_second()) held += " and " + std::to_string(second.size()) + " of the second drum";
  return held + ": too many to count every outcome";
}

TierOdds line_odds(const Game& game) {
  const int numbers = game.main.numbers;
  const int drawn = game.main.drawn;
  const int line = game.line;
  const int k = second_drawn(game);
  const int n = game.has_second() ? game.second.numbers : 0;
  TierOdds odds{.lines = 1, .outcomes = outcomes_of(game), .tiers = std::vector<std::uint64_t>(game.tiers.size())};
  for (int m = 0; m <= std::min(line, drawn); ++m) {
    const std::uint64_t main = kChoose(line, m) * kChoose(numbers - line, drawn - m);
    for (int b = 0; b <= std::min(line - m, game.bonus); ++b) {
      const std::uint64_t bonus = kChoose(line - m, b) * kChoose(numbers - drawn - (line - m), game.bonus - b);
      for (int s = 0; s <= k; ++s) {
        const std::uint64_t second = game.has_second() ? kChoose(k, s) * kChoose(n - k, k - s) : 1;
        const std::uint64_t outcomes = main * bonus * second;
        const std::optional<std::size_t> tier = tier_of(game, m, b, s);
        (tier ? odds.tiers[*tier] : odds.none) += outcomes;
      }
    }
  }
  return odds;
}

}  // namespace rivit
