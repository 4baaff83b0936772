#include "rivit/tier_odds.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <span>
#include <utility>

#include "rivit/counting.h"

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
// keeps, for each of its possible hits there, the classes giving them.
constexpr std::size_t kMostSecondClasses = 1024;

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

constexpr const Binomials& kChoose = kSaturatingChoose;

// Where the bonus hits decide whether a line with the tier's other hits
// meets it.
bool bonus_decides(const TierCondition& when) {
  return when.bonus || (when.bonus_at_least && *when.bonus_at_least > 0);
}

int second_drawn(const Game& game) { return game.has_second() ? game.second.drawn : 0; }


// The most words the sets of the second drum's classes take (32 MiB).
constexpr std::size_t kMostClassWords = std::size_t{1} << 22;

// The second drum's draws by their part inside the union of the lines'
// second numbers: each class a part, weighted by the draws that have it. A
// game without a second drum has one class, where every line has 0 hits.
// For each line and each of its possible hits j, the set of classes where it
// has them; for each class and each j, the set of lines that have them.
class SecondClasses {
 public:
  // No classes at all where they would be more than kMostSecondClasses, or
  // their sets more than kMostClassWords.
  SecondClasses(const Game& game, std::span<const GameLine> lines);

  std::size_t count() const { return weights_.size(); }
  std::size_t words() const { return words_; }
  const Word* every() const { return every_.data(); }
  std::uint64_t weight(std::size_t c) const { return weights_[c]; }
  std::uint64_t weight_of(const Word* classes) const {
    std::uint64_t sum = 0;
    if (uniform_) {
      for (std::size_t w = 0; w < words_; ++w) sum += static_cast<std::uint64_t>(count_bits(classes[w]));
      return sum * weights_.front();
    }
    for_each_member(classes, words_, [&](std::size_t c) {
      sum += weights_[c];
      return true;
    });
    return sum;
  }
  // The classes where `line` has j hits.
  const Word* where(std::size_t line, int j) const { return where_.data() + (line * hit_levels_ + at(j)) * words_; }
  // The second-drum numbers drawn in the class c, of those the lines hold.
  const NumberSet& drawn_in(std::size_t c) const { return parts_[c]; }
  // The lines with j hits in the class c.
  const Word* lines_with(std::size_t c, int j) const {
    return lines_with_.data() + (c * hit_levels_ + at(j)) * line_words_;
  }

 private:
  static std::size_t at(int j) { return static_cast<std::size_t>(j); }

  std::size_t words_ = 1;
  std::size_t line_words_ = 1;
  std::size_t hit_levels_ = 1;  // k + 1
  std::vector<std::uint64_t> weights_;
  std::vector<NumberSet> parts_;
  bool uniform_ = false;  // every class weighs the same
  std::vector<Word> every_;
  std::vector<Word> where_;
  std::vector<Word> lines_with_;
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

SecondClasses::SecondClasses(const Game& game, std::span<const GameLine> lines) {
  const int n = game.has_second() ? game.second.numbers : 0;
  const int k = second_drawn(game);
  NumberSet held;
  for (const GameLine& line : lines) held = held | line.second;
  const int u = held.size();
  const int least = std::max(0, k - (n - u));
  std::uint64_t count = 0;
  for (int s = least; s <= std::min(k, u); ++s) count = saturating_sum(count, kChoose(u, s));
  if (count > kMostSecondClasses) return;
  const auto classes = static_cast<std::size_t>(count);
  hit_levels_ = static_cast<std::size_t>(k) + 1;
  words_ = words_for(classes);
  line_words_ = words_for(lines.size());
  if (hit_levels_ * (lines.size() * words_ + classes * line_words_) > kMostClassWords) return;

  std::vector<NumberSet>& parts = parts_;
  add_subsets(held.numbers(), 0, k, least, NumberSet{}, parts);
  every_.resize(words_);
  where_.resize(lines.size() * hit_levels_ * words_);
  lines_with_.resize(parts.size() * hit_levels_ * line_words_);
  for (std::size_t c = 0; c < parts.size(); ++c) {
    weights_.push_back(kChoose(n - u, k - parts[c].size()));
    const Word class_bit = Word{1} << (c % kBitsInWord);
    every_[c / kBitsInWord] |= class_bit;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int j = (lines[i].second & parts[c]).size();
      where_[(i * hit_levels_ + at(j)) * words_ + c / kBitsInWord] |= class_bit;
      lines_with_[(c * hit_levels_ + at(j)) * line_words_ + i / kBitsInWord] |= Word{1} << (i % kBitsInWord);
    }
  }
  uniform_ = std::all_of(weights_.begin(), weights_.end(), [&](std::uint64_t w) { return w == weights_.front(); });
}

}  // namespace

// What every counter of a count shares: the lines turned on their side, the
// classes of the second drum, and the tables that bound the walk.
//
// The best tier of an outcome is never worse than the worst tier a line with
// the top main hits can win, whatever its bonus and second hits: worst[h].
// Where the numbers still to come can raise the top hits from M by up to r,
// the best is never worse than cap(r, M), the worst of worst[M..M + r], so the
// tiers from cap(r, M) on are never looked at. A part of d numbers with top
// hits M keeps the lines from floor(d, M) hits up: the top, the levels that
// the tiers before the cap look at, and one below each level that a part one
// number longer keeps; a level below is never read, nor brought up to date.
struct TierCount::Plan {
  Plan(const Game& of, std::span<const GameLine> with);
  // The lines turned on their side, and the weights of the parts.
  void turn_lines();
  // worst, caps and floors.
  void bound_walk();
  // The pieces and their work.
  void share_out();

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
  std::vector<Word> no_line;
  std::vector<Word> holders;  // for each number of `numbers`, the lines holding it

  SecondClasses second;
  std::uint64_t bonus_outcomes = 0;        // C(N − D, B)
  std::vector<std::uint64_t> main_weight;  // by the size of the draw's part inside `numbers`
  int lowest_depth = 0;                    // the smallest part with draws

  std::vector<std::size_t> worst;  // by main hits
  // True for a game with a second drum where no tier asks for bonus hits,
  // and neither one main hit more nor one second hit more ever makes the
  // first tier a line meets come later, as in every lottery sold: its parts
  // are settled from the lines that rise.
  bool classes_move = false;
  // Where classes move: the first tier a line with m main and j second hits
  // meets, at m (k + 1) + j; `none` where it meets none.
  std::vector<std::size_t> tier_by_hits;
  // The tiers of m main hits, by second hits.
  const std::size_t* tiers_of_main_hits(int m) const {
    return tier_by_hits.data() + static_cast<std::size_t>(m) * static_cast<std::size_t>(second_drawn(game) + 1);
  }
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
        worst[static_cast<std::size_t>(h)] =
            std::max(worst[static_cast<std::size_t>(h)], tier.value_or(game.tiers.size()));
      }
    }
  }
  return worst;
}

// The first tier whose main and second hits are m and j, the bonus aside;
// `none` where there is none.
std::size_t first_but_for_bonus(const Game& game, int m, int j) {
  const auto meets_hits = [&](const Tier& tier) {
    return (!tier.when.main || *tier.when.main == m) && (!tier.when.second || *tier.when.second == j);
  };
  return static_cast<std::size_t>(std::find_if(game.tiers.begin(), game.tiers.end(), meets_hits) - game.tiers.begin());
}

// True when one main hit more, or one second hit more, never makes the
// first tier a line meets come later.
bool rising_never_worse(const Game& game, int most_hits) {
  for (int m = 0; m <= most_hits; ++m) {
    for (int j = 0; j <= second_drawn(game); ++j) {
      const std::size_t tier = first_but_for_bonus(game, m, j);
      if (m < most_hits && first_but_for_bonus(game, m + 1, j) > tier) return false;
      if (j < second_drawn(game) && first_but_for_bonus(game, m, j + 1) > tier) return false;
    }
  }
  return true;
}

}  // namespace

TierCount::Plan::Plan(const Game& of, std::span<const GameLine> with)
    : game(of), lines(with.begin(), with.end()), outcomes(game_outcomes(of)), second(game, lines) {
  turn_lines();
  bound_walk();
  // No pieces for a count that cannot be exact.
  if (outcomes != kCountless && second.count() > 0) share_out();
}

void TierCount::Plan::turn_lines() {
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
  no_line.resize(words);
  holders.resize(numbers.size() * words);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Word bit = Word{1} << (i % kBitsInWord);
    every_line[i / kBitsInWord] |= bit;
    lines[i].main.for_each([&](int n) {
      holders[static_cast<std::size_t>(index_of[static_cast<std::size_t>(n)]) * words + i / kBitsInWord] |= bit;
    });
  }
  const int u = static_cast<int>(numbers.size());
  bonus_outcomes = kChoose(game.main.numbers - drawn, game.bonus);
  for (int s = 0; s <= drawn; ++s) main_weight.push_back(kChoose(game.main.numbers - u, drawn - s));
  lowest_depth = std::max(0, drawn - (game.main.numbers - u));
}

void TierCount::Plan::bound_walk() {
  const int drawn = game.main.drawn;
  worst = worst_tiers(game, most_hits);
  classes_move =
      game.has_second() && rising_never_worse(game, most_hits) &&
      std::none_of(game.tiers.begin(), game.tiers.end(), [](const Tier& tier) { return bonus_decides(tier.when); });
  for (int m = 0; m <= most_hits && classes_move; ++m) {
    for (int j = 0; j <= second_drawn(game); ++j) tier_by_hits.push_back(first_but_for_bonus(game, m, j));
  }
  const auto hits = static_cast<std::size_t>(most_hits) + 1;
  caps.assign(static_cast<std::size_t>(drawn + 1) * hits, none());
  floors.assign(static_cast<std::size_t>(drawn + 1) * hits, 0);
  for (int r = 0; r <= drawn && !lines.empty(); ++r) {
    for (int top = 0; top <= most_hits; ++top) {
      std::size_t cap = 0;
      for (int h = top; h <= std::min(top + r, most_hits); ++h) cap = std::max(cap, worst[static_cast<std::size_t>(h)]);
      caps[static_cast<std::size_t>(r) * hits + static_cast<std::size_t>(top)] = cap;
    }
  }
  // A part's children are settled from its levels, the tiers before the
  // cap one number on looking at one level below their main hits; a part
  // that is walked on from keeps one level below what its children keep.
  for (int d = drawn; d >= 0; --d) {
    for (int top = 0; top <= most_hits; ++top) {
      int lowest = top;
      for (std::size_t t = 0; t < cap(1, top); ++t) {
        if (game.tiers[t].when.main) lowest = std::min(lowest, *game.tiers[t].when.main - 1);
      }
      if (d + 1 < drawn) {
        lowest = std::min(lowest, floor(d + 1, top) - 1);
        if (top < most_hits) lowest = std::min(lowest, floor(d + 1, top + 1) - 1);
      }
      floors[static_cast<std::size_t>(d) * hits + static_cast<std::size_t>(top)] = std::max(0, lowest);
    }
  }
}

void TierCount::Plan::share_out() {
  const int u = static_cast<int>(numbers.size());
  piece_depth = std::min({kSharedOutBy, game.main.drawn, u});
  short_piece = piece_depth > 0;
  if (short_piece) {
    std::uint64_t work = 0;
    for (int s = lowest_depth; s < piece_depth; ++s) work = saturating_sum(work, kChoose(u, s));
    piece_work.push_back(saturating_product(work, second.count()));
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
    if (counted_at(s)) work = saturating_sum(work, kChoose(later, s - depth_of));
  }
  return saturating_product(work, second.count());
}

namespace {

// Where lines with h main hits that hold the number added reach a tier:
// those of exact (the lines with h hits) with j second hits in a class.
struct Rise {
  std::size_t tier = 0;
  const Word* exact = nullptr;
  int second = 0;     // j; 0 stands for every line of exact
  NumberSet numbers;  // where j is 0, the numbers of those lines
  // Where j is 1, the numbers of those lines that hold each second-drum
  // number, from by_second_number[s].
  std::size_t by_second_number = 0;
};

}  // namespace

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
// The parts one number longer than a part are settled from the part's own
// sets, and only those that are walked on from are made: so the last number
// of a draw costs no walk. Adding x, a line has h main hits where it has h
// and misses x, or has h − 1 and holds x. Without a second drum, the children
// are settled together, as sets of the numbers added: x meets a tier when it
// is in the union of the numbers of the lines one short, or outside the
// intersection of those of the lines at its hits. With one, the same is done
// for each class of the drum, the lines being those with the tier's second
// hits in it; or, where one hit more never makes a line's tier worse, from
// the tiers of the lines as they are and the numbers of the lines that rise
// (settle_children_by_class).

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
        classes_(plan.second.words()),
        remaining_(plan.second.words()),
        exact_(static_cast<std::size_t>(plan.most_hits + 1) * plan.words),
        base_tier_(plan.second.count()),
        by_tier_(plan.game.tiers.size() + 1) {
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
  const Word* at_least_or_every(int depth, int h) { return h == 0 ? plan_.every_line.data() : at_least(depth, h); }
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
    const int lowest = std::max({1, plan_.floor(depth + 1, next_top), plan_.floor(depth, reached) + 1});
    for (int h = lowest; h <= reached; ++h) {
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
    if (plan_.counted_at(depth + 1) && from < u) settle_children(depth, from);
    for (int q = from; q < u; ++q) {
      const bool deeper = depth + 1 < plan_.depth() && q + 1 < u && depth + 1 + (u - 1 - q) >= plan_.lowest_depth;
      if (!deeper) break;
      extend(depth, q);
      descend(depth + 1);
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

  // The lines with more than h hits at `depth`: none above the top.
  const Word* more_than(int depth, int h) { return h == top(depth) ? plan_.no_line.data() : at_least(depth, h + 1); }

  // Calls visit(i) for each line of `among` with exactly h hits at `depth`,
  // until it returns false.
  template <typename Visit>
  void for_each_line_at(int depth, int h, const Word* among, Visit visit) {
    if (h > top(depth)) return;
    const Word* these = at_least_or_every(depth, h);
    const Word* more = more_than(depth, h);
    for (std::size_t w = 0; w < plan_.words; ++w) {
      for (Word bits = these[w] & ~more[w] & among[w]; bits != 0; bits &= bits - 1) {
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
    if (h > top(depth)) return false;
    const Word* these = at_least_or_every(depth, h);
    const Word* more = more_than(depth, h);
    for (std::size_t w = 0; w < words; ++w) out[w] = these[w] & ~more[w];
    return any(out, words);
  }

  // The classes of remaining_ where one of `lines` has the tier's second
  // hits, into classes_; false when there are none.
  bool classes_meeting(const Word* lines, const TierCondition& when) {
    const std::size_t words = plan_.second.words();
    if (!when.second) {
      for (std::size_t w = 0; w < words; ++w) classes_[w] = remaining_[w];
      return true;
    }
    for (std::size_t w = 0; w < words; ++w) classes_[w] = 0;
    // Class by class where the lines are more than the classes.
    std::size_t count = 0;
    for (std::size_t w = 0; w < plan_.words; ++w) count += static_cast<std::size_t>(count_bits(lines[w]));
    if (count > plan_.second.count()) {
      for_each_member(remaining_.data(), words, [&](std::size_t c) {
        const Word* with = plan_.second.lines_with(c, *when.second);
        Word any_line = 0;
        for (std::size_t w = 0; w < plan_.words; ++w) any_line |= lines[w] & with[w];
        if (any_line != 0) classes_[c / kBitsInWord] |= Word{1} << (c % kBitsInWord);
        return true;
      });
      return any(classes_.data(), words);
    }
    for_each_member(lines, plan_.words, [&](std::size_t line) {
      const Word* where = plan_.second.where(line, *when.second);
      for (std::size_t w = 0; w < words; ++w) classes_[w] |= where[w];
      return true;
    });
    return keep_remaining();
  }

  // classes_ & remaining_; false when that is none.
  bool keep_remaining() {
    Word left = 0;
    for (std::size_t w = 0; w < plan_.second.words(); ++w) left |= classes_[w] &= remaining_[w];
    return left != 0;
  }

  // The class of the part at `depth`, with each class of the second drum.
  void settle_class(int depth) {
    const SecondClasses& second = plan_.second;
    const std::uint64_t weight = plan_.main_weight[static_cast<std::size_t>(depth)];
    const std::size_t cap = plan_.cap(0, top(depth));
    for (std::size_t w = 0; w < second.words(); ++w) remaining_[w] = second.every()[w];
    for (std::size_t t = 0; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      if (!lines_with_main(depth, when, lines_.data()) || !classes_meeting(lines_.data(), when)) continue;
      if (bonus_decides(when)) {
        for_each_member(classes_.data(), second.words(), [&](std::size_t c) {
          settle_bonus(depth, t, cap, c, weight * second.weight(c));
          return true;
        });
      } else {
        add(t, weight * plan_.bonus_outcomes * second.weight_of(classes_.data()));
      }
      Word left = 0;
      for (std::size_t w = 0; w < second.words(); ++w) left |= remaining_[w] &= ~classes_[w];
      if (left == 0) return;
    }
    add(cap, weight * plan_.bonus_outcomes * second.weight_of(remaining_.data()));
  }

  // The parts at depth + 1 that add a number of numbers[from..] to the part
  // at `depth`: without a second drum, together as sets of the numbers
  // added; with one, from the lines that rise where a line that rises never
  // gets a worse tier, as is usual, else by each tier for each class.
  void settle_children(int depth, int from) {
    if (plan_.classes_move) return settle_children_by_class(depth, from);
    const std::size_t cap = plan_.cap(1, top(depth));
    for (std::size_t c = 0; c < plan_.second.count(); ++c) settle_children_in(depth, from, c, cap);
  }

  // Each part at depth + 1, with the classes of the second drum, where a
  // line that rises never gets a worse tier and the bonus decides none. A
  // line's main hits rise by one where it holds the number added, so the
  // first tier met in a class is met by a line as it is here, worked out
  // once for every child (base_tier_), or by one that holds the number and
  // rises. The children are then settled class by class, as sets of the
  // numbers added: the tiers that rising lines reach, in order, each taking
  // the children that the numbers of those lines hold.
  void settle_children_by_class(int depth, int from) {
    const SecondClasses& second = plan_.second;
    const std::size_t words = plan_.words;
    const int reached = top(depth);
    const int lowest = plan_.floor(depth, reached);
    for (int h = lowest; h <= reached; ++h) {
      const Word* these = at_least_or_every(depth, h);
      const Word* more = more_than(depth, h);
      Word* exact = exact_.data() + static_cast<std::size_t>(h) * words;
      for (std::size_t w = 0; w < words; ++w) exact[w] = these[w] & ~more[w];
    }
    const std::size_t cap = plan_.cap(1, reached);
    for (std::size_t w = 0; w < second.words(); ++w) remaining_[w] = second.every()[w];
    for (std::size_t t = 0; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      if (when.main && *when.main > reached) continue;
      if (!lines_with_main(depth, when, lines_.data()) || !classes_meeting(lines_.data(), when)) continue;
      take_base(classes_.data(), t);
    }
    take_base(remaining_.data(), cap);
    find_rises(lowest, reached, cap);
    const NumberSet children = plan_.numbers_from[static_cast<std::size_t>(from)];
    const int child_count = static_cast<int>(plan_.numbers.size()) - from;
    // The children's second-drum draws by tier, each class by its weight.
    std::fill(by_tier_.begin(), by_tier_.end(), 0);
    for (std::size_t c = 0; c < second.count(); ++c) {
      NumberSet reaching;
      int settled = 0;  // the children that rises have taken so far
      for (const Rise& rise : rises_) {
        if (rise.tier >= base_tier_[c]) break;
        reaching = reaching | (rise.second == 0 ? rise.numbers : numbers_rising(rise, c));
        const int taken = (reaching & children).size();
        by_tier_[rise.tier] += second.weight(c) * static_cast<std::uint64_t>(taken - settled);
        settled = taken;
      }
      by_tier_[base_tier_[c]] += second.weight(c) * static_cast<std::uint64_t>(child_count - settled);
    }
    const std::uint64_t weight = plan_.main_weight[static_cast<std::size_t>(depth) + 1] * plan_.bonus_outcomes;
    for (std::size_t t = 0; t <= cap; ++t) add(t, weight * by_tier_[t]);
  }

  // The classes of `classes` left in remaining_ meet the tier t first.
  void take_base(const Word* classes, std::size_t t) {
    const SecondClasses& second = plan_.second;
    for (std::size_t w = 0; w < second.words(); ++w) {
      for (Word bits = classes[w] & remaining_[w]; bits != 0; bits &= bits - 1) {
        base_tier_[w * kBitsInWord + static_cast<std::size_t>(std::countr_zero(bits))] = t;
      }
      remaining_[w] &= ~classes[w];
    }
  }

  // The tiers before the cap that the lines with h main hits reach with
  // one more and j second hits, earliest first. A line rising to m main
  // hits meets its tier of m and j hits or an earlier one wherever it has j
  // second hits or more: so where j is 0 the rise holds for every line of the
  // level, whatever its second hits, and where j is 1 for every line that
  // holds one of the class's numbers.
  void find_rises(int lowest, int reached, std::size_t cap) {
    rises_.clear();
    by_second_number_.clear();
    const int k = second_drawn(plan_.game);
    for (int h = lowest; h <= std::min(reached, plan_.most_hits - 1); ++h) {
      const std::size_t* tiers = plan_.tiers_of_main_hits(h + 1);
      for (int j = 0; j <= k; ++j) {
        if (tiers[j] >= cap) continue;
        Rise rise{.tier = tiers[j],
                  .exact = exact_.data() + static_cast<std::size_t>(h) * plan_.words,
                  .second = j,
                  .numbers = {},
                  .by_second_number = by_second_number_.size()};
        if (j == 0) rise.numbers = numbers_of(rise.exact);
        if (j == 1) add_by_second_number(rise.exact);
        rises_.push_back(rise);
      }
    }
    // Rises to the same tier may go in any order.
    std::sort(rises_.begin(), rises_.end(), [](const Rise& a, const Rise& b) { return a.tier < b.tier; });
  }

  // The numbers of the lines of `lines`.
  NumberSet numbers_of(const Word* lines) const {
    NumberSet numbers;
    for_each_member(lines, plan_.words, [&](std::size_t i) {
      numbers = numbers | plan_.lines[i].main;
      return true;
    });
    return numbers;
  }

  // For each second-drum number, the numbers of the lines of `lines` that
  // hold it, onto by_second_number_.
  void add_by_second_number(const Word* lines) {
    const std::size_t at = by_second_number_.size();
    by_second_number_.resize(at + static_cast<std::size_t>(plan_.game.second.numbers) + 1);
    for_each_member(lines, plan_.words, [&](std::size_t i) {
      const GameLine& line = plan_.lines[i];
      line.second.for_each([&](int s) {
        NumberSet& numbers = by_second_number_[at + static_cast<std::size_t>(s)];
        numbers = numbers | line.main;
      });
      return true;
    });
  }

  // The numbers of the lines that rise with the rise's second hits, or more,
  // in the class c.
  NumberSet numbers_rising(const Rise& rise, std::size_t c) const {
    NumberSet numbers;
    if (rise.second == 1) {
      plan_.second.drawn_in(c).for_each([&](int s) {
        numbers = numbers | by_second_number_[rise.by_second_number + static_cast<std::size_t>(s)];
      });
      return numbers;
    }
    const Word* with = plan_.second.lines_with(c, rise.second);
    for (std::size_t w = 0; w < plan_.words; ++w) {
      for (Word bits = rise.exact[w] & with[w]; bits != 0; bits &= bits - 1) {
        numbers = numbers | plan_.lines[w * kBitsInWord + static_cast<std::size_t>(std::countr_zero(bits))].main;
      }
    }
    return numbers;
  }

  // Those parts with the second drum's class c, as sets of the numbers
  // added: the lines that count for a tier are those with its second hits
  // in c (every line where it asks none).
  void settle_children_in(int depth, int from, std::size_t c, std::size_t cap) {
    NumberSet children = plan_.numbers_from[static_cast<std::size_t>(from)];
    const std::uint64_t weight = plan_.main_weight[static_cast<std::size_t>(depth) + 1] * plan_.second.weight(c);
    for (std::size_t t = 0; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      if (when.main && *when.main > top(depth) + 1) continue;
      const Word* with = when.second ? plan_.second.lines_with(c, *when.second) : plan_.every_line.data();
      NumberSet met;
      if (when.main) {
        met = children_reaching(depth, *when.main, with, children);
      } else if (any(with, plan_.words)) {
        met = children;
      }
      if (met.empty()) continue;
      if (bonus_decides(when)) {
        met.for_each([&](int x) {
          extend(depth, plan_.index_of[static_cast<std::size_t>(x)]);
          settle_bonus(depth + 1, t, plan_.cap(0, top(depth + 1)), c, weight);
        });
      } else {
        add(t, weight * plan_.bonus_outcomes * static_cast<std::uint64_t>(met.size()));
      }
      children = children - met;
      if (children.empty()) return;
    }
    add(cap, weight * plan_.bonus_outcomes * static_cast<std::uint64_t>(children.size()));
  }

  // The numbers of `children` whose part has a line of `with` with exactly h
  // hits: a line at h that does not hold the number, or a line one short
  // that does.
  NumberSet children_reaching(int depth, int h, const Word* with, const NumberSet& children) {
    const std::vector<GameLine>& lines = plan_.lines;
    NumberSet common = children;
    for_each_line_at(depth, h, with, [&](std::size_t i) {
      common = common & lines[i].main;
      return !common.empty();
    });
    NumberSet met = children - common;
    if (h == 0 || met == children) return met;
    for_each_line_at(depth, h - 1, with, [&](std::size_t i) {
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
    std::size_t fallback = cap;
    deciding_ = 0;
    first_word_ = words;
    end_word_ = 0;
    NumberSet their_numbers;
    for (std::size_t t = from; t < cap; ++t) {
      const TierCondition& when = plan_.game.tiers[t].when;
      Word* lines = deciding_lines_.data() + deciding_ * words;
      if (!lines_with_main(depth, when, lines)) continue;
      if (when.second) {
        const Word* with = plan_.second.lines_with(c, *when.second);
        for (std::size_t w = 0; w < words; ++w) lines[w] &= with[w];
        if (!any(lines, words)) continue;
      }
      if (!bonus_decides(when)) {
        fallback = t;
        break;
      }
      deciding_tiers_[deciding_++] = t;
      for (std::size_t w = 0; w < words; ++w) {
        if (lines[w] == 0) continue;
        first_word_ = std::min(first_word_, w);
        end_word_ = w + 1;
        for (Word bits = lines[w]; bits != 0; bits &= bits - 1) {
          their_numbers =
              their_numbers | plan_.lines[w * kBitsInWord + static_cast<std::size_t>(std::countr_zero(bits))].main;
        }
      }
    }
    fallback_ = fallback;
    bonus_numbers_.clear();
    (their_numbers - drawn_[static_cast<std::size_t>(depth)]).for_each([&](int n) { bonus_numbers_.push_back(n); });
    bonus_weight_ = weight;
    bonus_draws(0, 0);
  }

  // The lines with at least j bonus hits when `taken` bonus numbers are
  // among the deciding lines' numbers.
  Word* bonus_at_least(int taken, int j) {
    const auto levels = static_cast<std::size_t>(plan_.game.bonus) + 2;
    return bonus_sets_.data() + (static_cast<std::size_t>(taken) * levels + static_cast<std::size_t>(j)) * plan_.words;
  }
  const Word* bonus_at_least_or_every(int taken, int j) {
    return j == 0 ? plan_.every_line.data() : bonus_at_least(taken, j);
  }

  // The bonus draws whose part inside the deciding numbers holds the
  // `taken` numbers chosen so far and others of bonus_numbers_[from..]. Only
  // the words that hold deciding lines are looked at.
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
      for (std::size_t w = first_word_; w < end_word_; ++w) {
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
        for (std::size_t w = first_word_; w < end_word_; ++w) next[w] = (same ? same[w] : 0) | (fewer[w] & holders[w]);
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
  std::size_t first_word_ = 0;
  std::size_t end_word_ = 0;
  std::uint64_t bonus_weight_ = 0;
  std::vector<Word> bonus_sets_;
  std::vector<Word> classes_;
  std::vector<Word> remaining_;
  // At the part whose children are settled each on its own: by main hits,
  // the lines with exactly those hits; by class, its tier with the lines as
  // they are; the tiers that lines reach by rising.
  std::vector<Word> exact_;
  std::vector<std::size_t> base_tier_;
  std::vector<Rise> rises_;
  std::vector<std::uint64_t> by_tier_;  // and none
  std::vector<NumberSet> by_second_number_;
  TierTally tally_;
};

void TierTally::add(const TierTally& other) {
  tiers.resize(std::max(tiers.size(), other.tiers.size()));
  for (std::size_t t = 0; t < other.tiers.size(); ++t) tiers[t] += other.tiers[t];
  none += other.none;
}

TierCount::TierCount(const Game& game, std::span<const GameLine> lines) : plan_(std::make_unique<Plan>(game, lines)) {}
TierCount::~TierCount() = default;

std::uint64_t TierCount::work() const {
  if (plan_->outcomes == kCountless || plan_->second.count() == 0) return kCountless;
  std::uint64_t work = 0;
  for (const std::uint64_t piece : plan_->piece_work) work = saturating_sum(work, piece);
  return work;
}

std::size_t TierCount::pieces() const { return plan_->piece_work.size(); }

std::uint64_t TierCount::work_of(std::size_t i) const { return plan_->piece_work[i]; }

TierOdds TierCount::odds(const TierTally& every_piece) const {
  TierOdds odds{
      .lines = plan_->lines.size(), .outcomes = plan_->outcomes, .tiers = every_piece.tiers, .none = every_piece.none};
  odds.tiers.resize(plan_->game.tiers.size());
  return odds;
}

TierCount::Counter::Counter(const TierCount& count) : walker_(std::make_unique<TierWalker>(*count.plan_)) {}
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
  if (plan.outcomes == kCountless) return "the game has too many outcomes to count exactly";
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
  TierOdds odds{.lines = 1, .outcomes = game_outcomes(game), .tiers = std::vector<std::uint64_t>(game.tiers.size())};
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
