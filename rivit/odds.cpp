#include "rivit/odds.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <numeric>
#include <utility>

namespace rivit {

namespace {

// A set of rows, 64 rows a word, bit i of word w for the row 64 w + i.
using Word = std::uint64_t;
constexpr std::size_t kRowsInWord = 64;

// The draws are shared out in pieces by their first numbers, this many of
// them (fewer in short lotteries): enough pieces that counters running at
// once end together, few enough that taking one costs nothing.
constexpr int kSharedOutBy = 3;

// The numbers above n, up to the lottery's last.
RowMask numbers_above(int n, Lottery lottery) { return all_numbers(lottery) & ~((RowMask{1} << n) - 1); }

// The rows turned on their side: for each number, the set of rows that hold it.
struct Transposed {
  Transposed(std::span<const RowMask> row_masks, Lottery of, const OddsOptions& with)
      : lottery(of), rows(row_masks), options(with) {
    words = (rows.size() + kRowsInWord - 1) / kRowsInWord;
    holders.resize(static_cast<std::size_t>(lottery.numbers) * words);
    every_row.resize(words);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Word bit = Word{1} << (i % kRowsInWord);
      every_row[i / kRowsInWord] |= bit;
      for_each_number(rows[i], [&](int n) { holders[static_cast<std::size_t>(n) * words + i / kRowsInWord] |= bit; });
    }
  }

  const Word* holding(int n) const { return holders.data() + static_cast<std::size_t>(n - 1) * words; }

  Lottery lottery;
  std::span<const RowMask> rows;
  OddsOptions options;
  std::size_t words = 0;
  std::vector<Word> holders;
  std::vector<Word> every_row;
};

}  // namespace

// Counts the draws of one counter, a prefix at a time, by a walk over the
// numbers in increasing order. At each prefix of d numbers it keeps, as sets
// of rows, at_least[t]: the rows sharing at least t numbers with the prefix,
// and `most`, the largest t with a row. Adding the number n makes
// at_least[t] |= at_least[t - 1] & holders(n). A draw is a prefix of
// length - 1 numbers and one number more, c, and its best is the prefix's
// `most`, plus one exactly when c is held by a row that reaches `most`: so
// the last number costs no walk, only the union of those rows' numbers.
//
// A prefix of d numbers has length - 1 - d numbers still to come before its
// last, and a row more than that below `most` can never reach it, so only
// the sets from most - (length - 1 - d) up are kept.
class OddsWalker {
 public:
  explicit OddsWalker(const Transposed& rows)
      : rows_(rows),
        length_(rows.lottery.length),
        planes_(static_cast<std::size_t>(length_)),
        sets_(static_cast<std::size_t>(length_ - 1) * planes_ * rows.words),
        most_(static_cast<std::size_t>(length_ - 1)),
        drawn_(static_cast<std::size_t>(length_ - 1)),
        tally_{std::vector<std::uint64_t>(static_cast<std::size_t>(length_ + 1)),
               std::vector<std::uint64_t>(rows.options.condition ? static_cast<std::size_t>(length_ + 1) : 0),
               std::nullopt} {}

  // Counts the draws that begin with `prefix`, the piece numbered `piece`.
  // REQUIRES: prefix is increasing and leaves room for the draw's other
  // numbers above its last.
  void walk(std::span<const int> prefix, std::size_t piece) {
    piece_ = piece;
    const int depth = static_cast<int>(prefix.size());
    for (int d = 0; d < depth; ++d) extend(d, prefix[static_cast<std::size_t>(d)]);
    descend(depth, depth == 0 ? 0 : prefix.back());
  }

  // The draws counted so far.
  const Tally& tally() const { return tally_; }

 private:
  // at_least[t] at depth d; every row shares at least 0 numbers.
  Word* at_least(int depth, int t) {
    return sets_.data() + (static_cast<std::size_t>(depth) * planes_ + static_cast<std::size_t>(t)) * rows_.words;
  }
  const Word* at_least_or_every(int depth, int t) { return t == 0 ? rows_.every_row.data() : at_least(depth, t); }
  int& most(int depth) { return most_[static_cast<std::size_t>(depth)]; }

  // The prefix at depth + 1: the one at `depth` and the number n.
  void extend(int depth, int n) {
    const std::size_t words = rows_.words;
    const Word* holders = rows_.holding(n);
    const int top = most(depth);
    for (int t = std::max(1, top - (length_ - 2 - depth)); t <= top; ++t) {
      const Word* fewer = at_least_or_every(depth, t - 1);
      const Word* same = at_least(depth, t);
      Word* next = at_least(depth + 1, t);
      for (std::size_t w = 0; w < words; ++w) next[w] = same[w] | (fewer[w] & holders[w]);
    }
    const Word* reaching = at_least_or_every(depth, top);
    Word* above = at_least(depth + 1, top + 1);
    Word any = 0;
    for (std::size_t w = 0; w < words; ++w) any |= above[w] = reaching[w] & holders[w];
    most(depth + 1) = any != 0 ? top + 1 : top;
    drawn_[static_cast<std::size_t>(depth) + 1] = drawn_[static_cast<std::size_t>(depth)] | number_bit(n);
  }

  void descend(int depth, int last) {
    if (depth == length_ - 2) return finish(depth, last);
    const int highest = rows_.lottery.numbers - (length_ - 1 - depth);
    for (int n = last + 1; n <= highest; ++n) {
      extend(depth, n);
      descend(depth + 1, n);
    }
  }

  // Every draw of the prefix at depth length - 2 and two numbers more, n and
  // then c: the prefix and n reach `reached`, and c one more when it is in
  // the union of the rows that reach it.
  void finish(int depth, int last) {
    const int numbers = rows_.lottery.numbers;
    const std::size_t words = rows_.words;
    const int top = most(depth);
    const Word* reaching = at_least_or_every(depth, top);
    // Only the rows one short of `top` can join the rows at `top`.
    const Word* short_by_one = top == 0 ? nullptr : at_least_or_every(depth, top - 1);
    RowMask reaching_union = 0;
    bool reaching_union_known = false;
    for (int n = last + 1; n < numbers; ++n) {
      const Word* holders = rows_.holding(n);
      const RowMask later = numbers_above(n, rows_.lottery);
      std::size_t w = 0;
      while (w < words && (reaching[w] & holders[w]) == 0) ++w;
      int reached = top;
      RowMask reach = 0;
      if (w < words) {
        reached = top + 1;
        reach = union_of(
            w, [&](std::size_t i) { return reaching[i] & holders[i]; }, later, 0);
      } else {
        if (!reaching_union_known) {
          reaching_union = union_of(
              0, [&](std::size_t i) { return reaching[i]; }, numbers_above(last + 1, rows_.lottery), 0);
          reaching_union_known = true;
        }
        reach = reaching_union;
        if (short_by_one != nullptr) {
          reach = union_of(
              0, [&](std::size_t i) { return short_by_one[i] & holders[i] & ~reaching[i]; }, later, reach);
        }
      }
      const auto hits = static_cast<std::uint64_t>(std::popcount(reach & later));
      const auto at = static_cast<std::size_t>(reached);
      tally_.best[at + 1] += hits;
      tally_.best[at] += static_cast<std::uint64_t>(numbers - n) - hits;
      const RowMask drawn = drawn_[static_cast<std::size_t>(depth)] | number_bit(n);
      if (rows_.options.condition) count_if_drawn(drawn, later, reach, at);
      if (reached + 1 <= rows_.options.below && !found_below_earlier()) note_first_below(drawn, later, reach, reached);
    }
  }

  // The draws of `drawn` and one number of `later` that meet the condition:
  // all of them when `drawn` has enough of the pool, those whose last number
  // is in it when it is one short.
  void count_if_drawn(RowMask drawn, RowMask later, RowMask reach, std::size_t at) {
    const DrawCondition& condition = *rows_.options.condition;
    const int in_pool = std::popcount(drawn & condition.pool);
    if (in_pool + 1 < condition.if_drawn) return;
    const RowMask counted = in_pool >= condition.if_drawn ? later : later & condition.pool;
    const auto hits = static_cast<std::uint64_t>(std::popcount(reach & counted));
    tally_.best_if[at + 1] += hits;
    tally_.best_if[at] += static_cast<std::uint64_t>(std::popcount(counted)) - hits;
  }

  // Whether this piece, or one before it, has its first draw below already:
  // the tally keeps the first of the lowest piece.
  bool found_below_earlier() const { return tally_.first_below && tally_.first_below->piece <= piece_; }

  // The first draw of `drawn` and one number of `later` whose best is below
  // rows_.options.below, if any: the draws come in increasing order.
  void note_first_below(RowMask drawn, RowMask later, RowMask reach, int reached) {
    const RowMask below = reached + 1 < rows_.options.below ? later : later & ~reach;
    if (below != 0) tally_.first_below = FirstDraw{piece_, drawn | (below & (0 - below))};
  }

  // `start` with the numbers of the rows in the sets rows_in_word(w) for the
  // words from `from` on, stopping early once it holds all of `wanted`.
  template <typename RowsInWord>
  RowMask union_of(std::size_t from, RowsInWord rows_in_word, RowMask wanted, RowMask start) const {
    RowMask numbers = start;
    for (std::size_t w = from; w < rows_.words && (numbers & wanted) != wanted; ++w) {
      for (Word set = rows_in_word(w); set != 0; set &= set - 1) {
        numbers |= rows_.rows[w * kRowsInWord + static_cast<std::size_t>(std::countr_zero(set))];
      }
    }
    return numbers;
  }

  const Transposed& rows_;
  int length_;
  std::size_t planes_;      // at_least[0] to at_least[length - 1] at each depth
  std::vector<Word> sets_;  // at depths 0 to length - 2; at_least[0] is unused
  std::vector<int> most_;
  std::vector<RowMask> drawn_;  // the numbers of the prefix at each depth
  std::size_t piece_ = 0;
  Tally tally_;
};

namespace {

// The prefixes by which the draws are shared out, each `depth` numbers long,
// one after the other, and how many draws begin with each.
struct PrefixPieces {
  int depth = 0;
  std::vector<int> prefixes;
  std::vector<std::uint64_t> draws;

  std::span<const int> prefix(std::size_t i) const {
    return std::span(prefixes).subspan(i * static_cast<std::size_t>(depth), static_cast<std::size_t>(depth));
  }
};

void add_pieces(Lottery lottery, std::vector<int>& prefix, PrefixPieces& pieces) {
  const int last = prefix.empty() ? 0 : prefix.back();
  if (static_cast<int>(prefix.size()) == pieces.depth) {
    pieces.prefixes.insert(pieces.prefixes.end(), prefix.begin(), prefix.end());
    pieces.draws.push_back(choose(lottery.numbers - last, lottery.length - pieces.depth));
    return;
  }
  const int highest = lottery.numbers - (lottery.length - static_cast<int>(prefix.size()) - 1);
  for (int n = last + 1; n <= highest; ++n) {
    prefix.push_back(n);
    add_pieces(lottery, prefix, pieces);
    prefix.pop_back();
  }
}

PrefixPieces pieces_of(Lottery lottery) {
  PrefixPieces pieces;
  pieces.depth = std::min(kSharedOutBy, lottery.length - 2);
  std::vector<int> prefix;
  add_pieces(lottery, prefix, pieces);
  return pieces;
}

std::vector<std::size_t> balance_of(std::span<const RowMask> rows, Lottery lottery) {
  std::vector<std::size_t> balance(static_cast<std::size_t>(lottery.numbers));
  for (const RowMask row : rows) {
    for_each_number(row, [&balance](int n) { ++balance[static_cast<std::size_t>(n)]; });
  }
  return balance;
}

}  // namespace

std::optional<std::string> odds_problem(Lottery lottery) {
  if (draws_within_reach(lottery)) return std::nullopt;
  return std::to_string(choose(lottery.numbers, lottery.length)) + " draws of " + std::to_string(lottery.length) +
         " from " + std::to_string(lottery.numbers) + " are more than " + std::to_string(kMostDraws) +
         " to count one by one";
}

namespace {

void add_counts(std::vector<std::uint64_t>& to, const std::vector<std::uint64_t>& from) {
  to.resize(std::max(to.size(), from.size()));
  std::transform(from.begin(), from.end(), to.begin(), to.begin(), std::plus<>());
}

}  // namespace

void Tally::add(const Tally& other) {
  add_counts(best, other.best);
  add_counts(best_if, other.best_if);
  if (other.first_below && (!first_below || other.first_below->piece < first_below->piece)) {
    first_below = other.first_below;
  }
}

struct OddsCount::Rows {
  Transposed transposed;
};

struct OddsCount::Pieces {
  PrefixPieces pieces;
};

OddsCount::OddsCount(std::span<const RowMask> rows, Lottery lottery, const OddsOptions& options)
    : lottery_(lottery),
      row_masks_(rows.begin(), rows.end()),
      rows_(std::make_unique<Rows>(Rows{Transposed(row_masks_, lottery, options)})),
      pieces_(std::make_unique<Pieces>(Pieces{pieces_of(lottery)})) {}
OddsCount::~OddsCount() = default;

std::size_t OddsCount::pieces() const { return pieces_->pieces.draws.size(); }

std::uint64_t OddsCount::draws_of(std::size_t i) const { return pieces_->pieces.draws[i]; }

Odds OddsCount::odds(const Tally& every_piece) const {
  std::vector<std::uint64_t> best = every_piece.best;
  best.resize(static_cast<std::size_t>(lottery_.length) + 1);
  const auto reached = std::find_if(best.begin(), best.end(), [](std::uint64_t draws) { return draws != 0; });
  const auto guaranteed = static_cast<int>(reached - best.begin());
  Odds odds{.lottery = lottery_,
            .rows = row_masks_.size(),
            .draws = choose(lottery_.numbers, lottery_.length),
            .best = std::move(best),
            .guaranteed = guaranteed,
            .balance = balance_of(row_masks_, lottery_),
            .condition = rows_->transposed.options.condition,
            .draws_if = 0,
            .best_if = {}};
  if (odds.condition) {
    odds.best_if = every_piece.best_if;
    odds.best_if.resize(odds.best.size());
    odds.draws_if = std::accumulate(odds.best_if.begin(), odds.best_if.end(), std::uint64_t{0});
  }
  return odds;
}

OddsCount::Counter::Counter(const OddsCount& count)
    : count_(&count), walker_(std::make_unique<OddsWalker>(count.rows_->transposed)) {}
OddsCount::Counter::~Counter() = default;
OddsCount::Counter::Counter(Counter&&) noexcept = default;
OddsCount::Counter& OddsCount::Counter::operator=(Counter&&) noexcept = default;

void OddsCount::Counter::count(std::size_t i) { walker_->walk(count_->pieces_->pieces.prefix(i), i); }

const Tally& OddsCount::Counter::tally() const { return walker_->tally(); }

Odds odds_of(std::span<const RowMask> rows, Lottery lottery) {
  const OddsCount count(rows, lottery);
  OddsCount::Counter counter(count);
  for (std::size_t i = 0; i < count.pieces(); ++i) counter.count(i);
  return count.odds(counter.tally());
}

}  // namespace rivit
