#include "rivit/odds.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>
#include <utility>

namespace rivit {

namespace {

// A set of rows, 64 rows a word, bit i of word w for the row 64 w + i.
using Word = std::uint64_t;
constexpr std::size_t kRowsInWord = 64;

constexpr int kThreads = 2;
// The draws are shared out between the threads by their first numbers, this
// many of them (fewer in short lotteries): enough pieces that both threads
// end together, few enough that taking one costs nothing.
constexpr int kSharedOutBy = 3;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

// The numbers above n, up to the lottery's last.
RowMask numbers_above(int n, Lottery lottery) { return all_numbers(lottery) & ~((RowMask{1} << n) - 1); }

// The rows turned on their side: for each number, the set of rows that hold it.
struct Transposed {
  Transposed(std::span<const RowMask> row_masks, Lottery of) : lottery(of), rows(row_masks) {
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
  std::size_t words = 0;
  std::vector<Word> holders;
  std::vector<Word> every_row;
};

// Counts the draws of one thread, a prefix at a time, by a walk over the
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
class Walker {
 public:
  explicit Walker(const Transposed& rows)
      : rows_(rows),
        length_(rows.lottery.length),
        planes_(static_cast<std::size_t>(length_)),
        sets_(static_cast<std::size_t>(length_ - 1) * planes_ * rows.words),
        most_(static_cast<std::size_t>(length_ - 1)),
        best_(static_cast<std::size_t>(length_ + 1)) {}

  // Counts the draws that begin with `prefix`. REQUIRES: prefix is increasing
  // and leaves room for the draw's other numbers above its last.
  void walk(std::span<const int> prefix) {
    const int depth = static_cast<int>(prefix.size());
    for (int d = 0; d < depth; ++d) extend(d, prefix[static_cast<std::size_t>(d)]);
    descend(depth, depth == 0 ? 0 : prefix.back());
  }

  // best()[k]: the draws counted so far whose best row shares k numbers.
  const std::vector<std::uint64_t>& best() const { return best_; }

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
      best_[at + 1] += hits;
      best_[at] += static_cast<std::uint64_t>(numbers - n) - hits;
    }
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
  std::vector<std::uint64_t> best_;
};

// The prefixes by which the draws are shared out, each `depth` numbers long,
// one after the other, and how many draws begin with each.
struct Pieces {
  int depth = 0;
  std::vector<int> prefixes;
  std::vector<std::uint64_t> draws;

  std::span<const int> prefix(std::size_t i) const {
    return std::span(prefixes).subspan(i * static_cast<std::size_t>(depth), static_cast<std::size_t>(depth));
  }
};

void add_pieces(Lottery lottery, std::vector<int>& prefix, Pieces& pieces) {
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

Pieces pieces_of(Lottery lottery) {
  Pieces pieces;
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

// The walkers take the pieces one at a time until none is left; the one on
// the calling thread reports the progress.
std::vector<std::uint64_t> count_best(std::span<const RowMask> rows, Lottery lottery, const Progress* progress) {
  const Transposed transposed(rows, lottery);
  const Pieces pieces = pieces_of(lottery);
  const auto draws = static_cast<double>(choose(lottery.numbers, lottery.length));
  std::vector<Walker> walkers(kThreads, Walker(transposed));
  std::atomic<std::size_t> next_piece{0};
  std::atomic<std::uint64_t> draws_done{0};
  const auto work = [&](Walker& walker, const std::stop_token& stop, const Progress* report) {
    auto reported = std::chrono::steady_clock::now();
    // A piece once taken is always counted: the stop, asked for only when the
    // calling thread leaves early, is looked at before taking one.
    while (!stop.stop_requested()) {
      const std::size_t i = next_piece++;
      if (i >= pieces.draws.size()) break;
      walker.walk(pieces.prefix(i));
      draws_done += pieces.draws[i];
      if (report != nullptr && std::chrono::steady_clock::now() - reported >= kProgressInterval) {
        (*report)(static_cast<double>(draws_done) / draws);
        reported = std::chrono::steady_clock::now();
      }
    }
  };
  {
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < walkers.size(); ++i) {
      helpers.emplace_back([&work, &walker = walkers[i]](const std::stop_token& stop) { work(walker, stop, nullptr); });
    }
    work(walkers[0], std::stop_token(), progress);
  }
  std::vector<std::uint64_t> best(static_cast<std::size_t>(lottery.length + 1));
  for (const Walker& walker : walkers) {
    std::transform(best.begin(), best.end(), walker.best().begin(), best.begin(), std::plus<>());
  }
  return best;
}

}  // namespace

Odds odds_of(std::span<const RowMask> rows, Lottery lottery, const Progress* progress) {
  std::vector<std::uint64_t> best = count_best(rows, lottery, progress);
  const auto reached = std::find_if(best.begin(), best.end(), [](std::uint64_t draws) { return draws != 0; });
  const auto guaranteed = static_cast<int>(reached - best.begin());
  return Odds{.lottery = lottery,
              .rows = rows.size(),
              .draws = choose(lottery.numbers, lottery.length),
              .best = std::move(best),
              .guaranteed = guaranteed,
              .balance = balance_of(rows, lottery)};
}

}  // namespace rivit
