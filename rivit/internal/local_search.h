// The one local search behind every search of rows here. A search is a
// model plugged into pieces that know nothing of rows:
// - the model: its moves, what each does to its worth, counted as it goes
//   (the neighbourhood and its incremental evaluation), and the best seen;
// - the tabu memory: by row and number, the step before which a number may
//   not go back into a row;
// - the acceptance rule: whether a move that worsens the worth is made;
// - the breakout: when a step finds no move that lowers the worth, the model
//   raises the weights of what it fails to mend;
// - the reducer: the row whose going costs least, dropped;
// - the budget: a last step, or the model's proof that nothing better is
//   left, taken in slices that give the same search however they fall.
//
// Every decision is drawn from the runtime's generator in integer
// arithmetic, so that every build makes the same ones. The search owns no
// generator: its owner lends one to each call that draws.
//
// A new search is a model (SearchModel, below) and its start: the model's
// constructor draws or builds its first rows; a TabuMemory sized for them,
// a Tenure and the last step make it a LocalSearch, which its owner then
// advances a slice at a time.
//
// Inside the library only (rivit_internal): its fronts never include it.

#ifndef ERILAISETRIVIT_RIVIT_INTERNAL_LOCAL_SEARCH_H_
#define ERILAISETRIVIT_RIVIT_INTERNAL_LOCAL_SEARCH_H_

#include <array>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

#include "rivit/lottery.h"
#include "runtime/random.h"

namespace rivit {

// The runtime's generator, whose integer arithmetic draws the same numbers
// on every build and machine, drawing from 0 to n - 1.
// REQUIRES: 1 <= n < 2^63.
template <typename Count>
Count below(rt::Random& random, Count n) {
  return static_cast<Count>(random.Uniform(static_cast<rt::Integer>(n)) - 1);
}

// Draws rows at random: each a partial shuffle of the numbers, which goes on
// from where the last row's left them.
class RowDraw {
 public:
  RowDraw() { std::iota(numbers_.begin(), numbers_.end(), 0); }

  RowMask next(rt::Random& random, Lottery lottery) {
    RowMask row = 0;
    for (int taken = 0; taken < lottery.length; ++taken) {
      const int pick = taken + below(random, lottery.numbers - taken);
      std::swap(numbers_[static_cast<std::size_t>(taken)], numbers_[static_cast<std::size_t>(pick)]);
      row |= RowMask{1} << numbers_[static_cast<std::size_t>(taken)];
    }
    return row;
  }

 private:
  std::array<int, kMostNumbers> numbers_;
};

// The acceptance rules: takes(random, worse) says whether a move that
// worsens the search by `worse` units (the model's) is made.
//
// Takes a move that worsens a search by k units with the chance p^k, p =
// kTaken / kPer, and one that worsens it by kLimit units or more never. The
// chances are 32-bit fractions, each the one before times p rounded down.
template <std::uint64_t kTaken, std::uint64_t kPer, std::size_t kLimit>
class UphillChance {
 public:
  static bool takes(rt::Random& random, std::int64_t worse) {
    if (worse <= 0) return true;
    if (static_cast<std::uint64_t>(worse) >= kLimit) return false;
    return (random.Next() >> 32) < kChance[static_cast<std::size_t>(worse)];
  }

 private:
  static constexpr std::array<std::uint64_t, kLimit> kChance = [] {
    std::array<std::uint64_t, kLimit> chance{};
    std::uint64_t fraction = std::uint64_t{1} << 32;
    for (std::uint64_t& c : chance) {
      c = fraction;
      fraction = fraction * kTaken / kPer;
    }
    return chance;
  }();
};

// Every move, the best of a step even when it worsens the search.
struct TakeEvery {
  static bool takes(rt::Random& /*random*/, std::int64_t /*worse*/) { return true; }
};

// The moves that worsen nothing.
struct TakeNoWorse {
  static bool takes(rt::Random& /*random*/, std::int64_t worse) { return worse <= 0; }
};

// How long a number taken out of a row stays out: `least` steps and, when
// `spread` is more than 0, up to spread - 1 more, drawn.
struct Tenure {
  std::uint64_t least = 0;
  std::uint64_t spread = 0;

  std::uint64_t draw(rt::Random& random) const { return spread == 0 ? least : least + below(random, spread); }
};

// The tenure of a number taken out of a row in the rows searches, with or
// without rotation: tuned on 7 of 40, where it matters little.
inline constexpr Tenure kSwapTenure{10, 10};

// By row and number, the step before which the number may not go back into
// the row; a row leaves with the model's.
class TabuMemory {
 public:
  TabuMemory(std::size_t rows, std::size_t numbers) : numbers_(numbers), until_(rows * numbers) {}

  // A row's entries, for a loop over its numbers.
  class Row {
   public:
    bool forbids(std::size_t n, std::uint64_t now) const { return until_[n] > now; }

   private:
    friend class TabuMemory;
    explicit Row(const std::uint64_t* until) : until_(until) {}
    const std::uint64_t* until_;
  };

  Row row(std::size_t row) const { return Row(&until_[row * numbers_]); }
  bool forbids(std::size_t row, std::size_t n, std::uint64_t now) const { return until_[row * numbers_ + n] > now; }
  void forbid(std::size_t row, std::size_t n, std::uint64_t until) { until_[row * numbers_ + n] = until; }

  void remove_row(std::size_t row) {
    const auto first = until_.begin() + static_cast<std::ptrdiff_t>(row * numbers_);
    until_.erase(first, first + static_cast<std::ptrdiff_t>(numbers_));
  }

 private:
  std::size_t numbers_;
  std::vector<std::uint64_t> until_;
};

// A set of indices below a size fixed at the start, drawn from at random in
// constant time: its members in a list in no order, each knowing its place.
template <typename Index>
class IndexedSet {
 public:
  explicit IndexedSet(std::size_t universe) : place_(universe, kAbsent) {}

  bool contains(Index i) const { return place_[static_cast<std::size_t>(i)] != kAbsent; }
  // REQUIRES: !contains(i).
  void insert(Index i) {
    place_[static_cast<std::size_t>(i)] = static_cast<Index>(members_.size());
    members_.push_back(i);
  }
  // The last member takes i's place. REQUIRES: contains(i).
  void erase(Index i) {
    const Index last = members_.back();
    const Index place = place_[static_cast<std::size_t>(i)];
    members_[static_cast<std::size_t>(place)] = last;
    place_[static_cast<std::size_t>(last)] = place;
    members_.pop_back();
    place_[static_cast<std::size_t>(i)] = kAbsent;
  }
  void clear() {
    for (const Index i : members_) place_[static_cast<std::size_t>(i)] = kAbsent;
    members_.clear();
  }

  std::size_t size() const { return members_.size(); }
  bool empty() const { return members_.empty(); }
  auto begin() const { return members_.begin(); }
  auto end() const { return members_.end(); }
  // REQUIRES: !empty().
  Index draw(rt::Random& random) const { return members_[below(random, members_.size())]; }

 private:
  static constexpr Index kAbsent = std::numeric_limits<Index>::max();

  std::vector<Index> members_;
  std::vector<Index> place_;  // of each index in members_; kAbsent when it is not one
};

// How a step chooses among the moves that tie for the best. Each is fair;
// they differ in the draws they take, and each search keeps the one that its
// recorded rows were found with.
enum class Ties {
  kDrawAtEnd,          // the tied moves listed, one drawn when all are seen
  kDrawEachTie,        // the n-th tie so far kept with the chance 1 / n, drawn even for the first
  kDrawFromSecondTie,  // the same, the first kept without a draw
};

// The best of the moves offered in a step, by their key (less is better),
// ties broken by the rule kTies.
template <typename Key, typename Move, Ties kTies>
class BestMove {
 public:
  void offer(const Key& key, const Move& move, rt::Random& random) {
    if (best_key_ && *best_key_ < key) return;
    if (!best_key_ || key < *best_key_) {
      best_key_ = key;
      ties_ = 0;
      tied_.clear();
    }
    ++ties_;
    if constexpr (kTies == Ties::kDrawAtEnd) {
      tied_.push_back(move);
    } else if constexpr (kTies == Ties::kDrawEachTie) {
      if (below(random, ties_) == 0) best_ = move;
    } else {
      if (ties_ == 1 || below(random, ties_) == 0) best_ = move;
    }
  }

  // The move chosen; nothing when none was offered. Clears the offers.
  std::optional<Move> take(rt::Random& random) {
    if constexpr (kTies == Ties::kDrawAtEnd) {
      if (!tied_.empty()) best_ = tied_[below(random, tied_.size())];
    }
    std::optional<Move> chosen = best_;
    best_.reset();
    best_key_.reset();
    ties_ = 0;
    tied_.clear();
    return chosen;
  }

 private:
  std::optional<Key> best_key_;
  std::optional<Move> best_;
  std::uint64_t ties_ = 0;
  std::vector<Move> tied_;  // kDrawAtEnd's, kept between steps to spare allocations
};

// The reducer's choice: of rows 0 to count - 1 that may_go(i), the one whose
// going costs least, cost(i) (less is better), the first or last of equals;
// nothing when none may go.
enum class Equals { kFirst, kLast };
template <Equals kEquals, typename MayGo, typename Cost>
std::optional<std::size_t> cheapest_to_drop(std::size_t count, MayGo may_go, Cost cost) {
  std::optional<std::size_t> cheapest;
  std::optional<decltype(cost(std::size_t{0}))> least;
  for (std::size_t i = 0; i < count; ++i) {
    if (!may_go(i)) continue;
    const auto now = cost(i);
    if (!least || now < *least || (kEquals == Equals::kLast && !(*least < now))) {
      cheapest = i;
      least = now;
    }
  }
  return cheapest;
}

// The move of the rows searches: a number of a row traded for one it lacks.
struct Swap {
  std::size_t row = 0;
  int out = -1;             // the number taken out, as a bit index
  int in = -1;              // the number put in
  std::int64_t change = 0;  // of the model's worth, in its finest units
};

// When a model's weights are raised: never, at a step whose best move
// worsens the worth (or when there is none), or at one whose best move does
// not lower it.
enum class Breakout { kNever, kWhenUphill, kWhenNotDownhill };

// What a model's step is handed: the lent generator, the step's number (the
// steps taken before it) and the tabu memory with its tenure.
struct Step {
  rt::Random& random;
  std::uint64_t now;
  TabuMemory& tabu;
  Tenure tenure;

  // Number n may not go back into `row` for the tenure.
  void forbid(std::size_t row, std::size_t n) const { tabu.forbid(row, n, now + tenure.draw(random)); }
};

// A model of the search (see the top of this file). Its move's change is in
// the finest units of its worth, its worsening in the acceptance rule's.
template <typename M>
concept SearchModel = requires(M& model, const M& seen, const typename M::Move& move, Step& step) {
  typename M::Acceptance;
  { M::kBreakout } -> std::convertible_to<Breakout>;
  // The step's best move, tabu moves left out; nothing when there is none.
  { model.best_move(step) } -> std::same_as<std::optional<typename M::Move>>;
  { seen.worsening(move) } -> std::convertible_to<std::int64_t>;
  model.apply(move, step);
  // After the move or none: keeps the best, proves, prepares the next step.
  model.end_step(step);
  // Nothing better is left to find.
  { seen.finished() } -> std::convertible_to<bool>;
};

// The search: the model's steps, up to the last step or its proof. A step
// takes the model's best move, makes it when the acceptance rule says so,
// and breaks out when the model is stuck.
template <SearchModel Model>
class LocalSearch {
 public:
  // `tabu` sized for the model's rows; `steps` already taken.
  LocalSearch(Model model, TabuMemory tabu, Tenure tenure, std::uint64_t last_step, std::uint64_t steps = 0)
      : model_(std::move(model)), tabu_(std::move(tabu)), tenure_(tenure), last_step_(last_step), steps_(steps) {}

  // Takes up to `steps` more steps, drawing from `random`.
  void advance(std::uint64_t steps, rt::Random& random) {
    for (std::uint64_t taken = 0; taken < steps && !done(); ++taken) step(random);
  }
  bool done() const { return steps_ >= last_step_ || model_.finished(); }
  // No step past `last_step`.
  void cap(std::uint64_t last_step) { last_step_ = std::min(last_step_, last_step); }

  std::uint64_t steps() const { return steps_; }
  const Model& model() const { return model_; }

 private:
  void step(rt::Random& random) {
    Step step{random, steps_, tabu_, tenure_};
    const std::optional<typename Model::Move> move = model_.best_move(step);
    if (move && Model::Acceptance::takes(random, model_.worsening(*move))) model_.apply(*move, step);
    if constexpr (Model::kBreakout != Breakout::kNever) {
      const bool stuck = !move || model_.change(*move) > (Model::kBreakout == Breakout::kWhenUphill ? 0 : -1);
      if (stuck) model_.break_out(step);
    }
    model_.end_step(step);
    ++steps_;
  }

  Model model_;
  TabuMemory tabu_;
  Tenure tenure_;
  std::uint64_t last_step_;
  std::uint64_t steps_;
};

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_INTERNAL_LOCAL_SEARCH_H_
