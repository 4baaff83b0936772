// A game as players play it: a main drum, optional bonus numbers drawn from
// what the main draw leaves, an optional second drum, and the operator's
// prize tiers in the operator's order.
//
// A draw, an outcome: `main.drawn` numbers of 1..main.numbers, then `bonus`
// numbers of those left, then `second.drawn` numbers of 1..second.numbers.
// The C(N, D)·C(N − D, B)·C(n, k) outcomes are equally likely. A player's
// line holds `line` numbers of the main drum (a Keno line holds fewer than
// are drawn) and `second.drawn` of the second; the bonus is never part of
// a line. A line wins the first tier whose condition its hits meet, and no
// other.
//
// Numbers go up to kMostGameNumbers, so a set of them is a NumberSet of two
// words rather than a row mask of one.

#ifndef ERILAISETRIVIT_RIVIT_GAME_H_
#define ERILAISETRIVIT_RIVIT_GAME_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/lottery.h"

namespace rivit {

inline constexpr int kMostGameNumbers = 128;
inline constexpr int kMostLineNumbers = 20;  // the longest line or draw of a drum
inline constexpr int kMostBonus = 5;
inline constexpr int kMostTiers = 32;

// The number of members of a word. The library is built for every x86-64,
// without the population count instruction, where std::popcount is a call
// into the compiler's support library: this is several times faster there.
constexpr int count_bits(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555;
  bits = (bits & 0x3333333333333333) + ((bits >> 2) & 0x3333333333333333);
  bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0f;
  return static_cast<int>((bits * 0x0101010101010101) >> 56);
}

// A set of numbers from 1 to kMostGameNumbers: bit n - 1 for the number n.
class NumberSet {
 public:
  constexpr NumberSet() = default;
  static constexpr NumberSet of_row_mask(RowMask mask) {
    NumberSet set;
    set.words_[0] = mask;
    return set;
  }
  // 1..n.
  static constexpr NumberSet first(int n) {
    NumberSet set;
    for (std::size_t w = 0; w < kWords; ++w) {
      const int bits = n - 64 * static_cast<int>(w);
      set.words_[w] = bits >= 64 ? ~std::uint64_t{0} : bits <= 0 ? 0 : (std::uint64_t{1} << bits) - 1;
    }
    return set;
  }

  // REQUIRES: 1 <= n <= kMostGameNumbers.
  constexpr bool has(int n) const { return (words_[word_of(n)] & bit_of(n)) != 0; }
  constexpr void add(int n) { words_[word_of(n)] |= bit_of(n); }
  constexpr void remove(int n) { words_[word_of(n)] &= ~bit_of(n); }
  // Most sets hold numbers below 65 only.
  constexpr int size() const { return count_bits(words_[0]) + (words_[1] != 0 ? count_bits(words_[1]) : 0); }
  constexpr bool empty() const { return (words_[0] | words_[1]) == 0; }
  // The largest number, 0 for the empty set.
  constexpr int largest() const {
    return words_[1] != 0 ? 128 - std::countl_zero(words_[1]) : 64 - std::countl_zero(words_[0]);
  }
  // The set as a row mask. REQUIRES: largest() <= 64.
  constexpr RowMask row_mask() const { return words_[0]; }

  constexpr NumberSet operator&(const NumberSet& o) const { return {words_[0] & o.words_[0], words_[1] & o.words_[1]}; }
  constexpr NumberSet operator|(const NumberSet& o) const { return {words_[0] | o.words_[0], words_[1] | o.words_[1]}; }
  constexpr NumberSet operator-(const NumberSet& o) const { return {words_[0] & ~o.words_[0], words_[1] & ~o.words_[1]}; }
  friend constexpr bool operator==(const NumberSet&, const NumberSet&) = default;
  // Ordered as the numbers written ascending, then by length: {1,2} < {1,3} < {2}.
  constexpr bool lexicographically_before(const NumberSet& o) const { return numbers_less(*this, o); }

  // Calls visit(n) for each number n, lowest first.
  template <typename Visit>
  constexpr void for_each(Visit visit) const {
    for (std::size_t w = 0; w < kWords; ++w) {
      for (std::uint64_t bits = words_[w]; bits != 0; bits &= bits - 1) {
        visit(64 * static_cast<int>(w) + std::countr_zero(bits) + 1);
      }
    }
  }
  std::vector<int> numbers() const {
    std::vector<int> out;
    for_each([&out](int n) { out.push_back(n); });
    return out;
  }

 private:
  static constexpr std::size_t kWords = 2;
  constexpr NumberSet(std::uint64_t low, std::uint64_t high) : words_{low, high} {}
  static constexpr std::size_t word_of(int n) { return static_cast<std::size_t>(n - 1) / 64; }
  static constexpr std::uint64_t bit_of(int n) { return std::uint64_t{1} << ((n - 1) % 64); }
  static constexpr bool numbers_less(NumberSet a, NumberSet b) {
    while (!a.empty() && !b.empty()) {
      const int x = a.smallest();
      const int y = b.smallest();
      if (x != y) return x < y;
      a.remove(x);
      b.remove(y);
    }
    return a.empty() && !b.empty();
  }
  constexpr int smallest() const {
    return words_[0] != 0 ? std::countr_zero(words_[0]) + 1 : 64 + std::countr_zero(words_[1]) + 1;
  }
  std::array<std::uint64_t, kWords> words_{};
};

// A drum: `drawn` numbers of 1..numbers.
struct Drum {
  int numbers = 0;
  int drawn = 0;
  friend bool operator==(const Drum&, const Drum&) = default;
};

// Money in cents, exact.
using Cents = std::int64_t;

// What a line's hits must be for a tier; a condition that is not set takes
// any value. Every member of a game's structs has its default written out,
// so that a table of games names only what each sets.
struct TierCondition {
  std::optional<int> main{};            // hits in the main drum
  std::optional<int> bonus{};           // bonus numbers among the line's
  std::optional<int> bonus_at_least{};  // at least this many of them
  std::optional<int> second{};          // hits in the second drum
  friend bool operator==(const TierCondition&, const TierCondition&) = default;
};

struct Tier {
  std::string name{};  // the operator's: "6+1", "Division 2", "5 + Powerball"
  TierCondition when{};
  std::optional<Cents> prize{};  // a fixed prize, where the game has one
  friend bool operator==(const Tier&, const Tier&) = default;
};

// True when a line with these hits meets the condition.
constexpr bool meets(const TierCondition& when, int main, int bonus, int second) {
  return (!when.main || *when.main == main) && (!when.bonus || *when.bonus == bonus) &&
         (!when.bonus_at_least || bonus >= *when.bonus_at_least) && (!when.second || *when.second == second);
}

struct Game {
  std::string name{};        // "lotto", or the short form "7/40+1"
  std::string title{};       // "Lotto (Finland)"
  std::string rules_from{};  // ISO date the rules took effect; empty where not known
  std::string source{};      // where the tier table was checked
  Drum main{};
  int bonus = 0;                 // drawn from main.numbers - main.drawn
  Drum second{};                 // numbers == 0: no second drum
  int line = 0;                  // main numbers in a line
  std::optional<Cents> price{};  // of a line, where known, in the game's own money
  std::vector<Tier> tiers{};

  bool has_second() const { return second.numbers > 0; }
  friend bool operator==(const Game&, const Game&) = default;
};

// The index of the first tier the hits meet, or nothing.
std::optional<std::size_t> tier_of(const Game& game, int main, int bonus, int second);

// A game's line, or a draw: main numbers, and the second drum's. The bonus
// of a draw stands apart.
struct GameLine {
  NumberSet main;
  NumberSet second;
  friend bool operator==(const GameLine&, const GameLine&) = default;
};

struct Draw {
  NumberSet main;
  NumberSet bonus;
  NumberSet second;
  friend bool operator==(const Draw&, const Draw&) = default;
};

// What is wrong with a game, as the fronts say it: a drum out of range, a
// line longer than the draw allows, a tier that asks for more hits than
// there are. Nothing for a game that can be played and counted.
std::optional<std::string> game_problem(const Game& game);

// The built-in games, in the order --games lists them. A game whose line
// the player chooses (Keno's spots) is listed at its longest line.
std::span<const Game> built_in_games();

// Where a game's name, a short form or a file's text is turned into a game:
// the game, or a message naming what is wrong.
struct ParsedGame {
  std::optional<Game> game;
  std::string error;
};

// A built-in game by name ("lotto", "eurojackpot"; "keno" needs its spots:
// `line`), or the short form: "D/N" (one drum), "D/N+B" (B bonus numbers
// from the rest), "D/N+k/n" (a second drum). Its tiers, for a short form,
// are every combination of hits with at least one main or second-drum hit,
// most main hits first, then most bonus or second hits: "m" (one drum, or
// no bonus hit), "m+b", "m+s", "m+b+s"; each condition is exact, so the
// tiers never overlap. `line`: the main numbers of a line where they differ
// from the draw (Keno spots; "20/80" with 10); 0 for the game's own. A
// short form's game is named by its short form.
ParsedGame parse_game(std::string_view name, int line = 0);

// A game file's JSON:
// {"name": "...", "main": {"numbers": 47, "drawn": 7, "bonus": 3},
//  "second": {"numbers": 20, "drawn": 1}, "line": 7, "price": 1.0,
//  "tiers": [{"name": "...", "main": 6, "bonus_at_least": 1, "prize": 1000}]}
// Only "name", "main" (its numbers and drawn) and "tiers" (each its name)
// must be there: "line" is the main draw's by default, and a tier's
// condition takes any hits where it is not set. "title", "rules_from" and
// "source" are text, as in Game. "price" and "prize" are amounts with at
// most two decimals, in the game's own money. Any other key is a mistake,
// and is named.
ParsedGame parse_game_file(std::string_view json);

// The game as a game file, which parse_game_file reads as the same game.
std::string game_file(const Game& game);

// "7/40+1", "5/50+2/12", "7/35+1/20", "20/70 10": the game's drums in the
// short form that parse_game reads, and, after a space, the numbers of a
// line where they differ from the main draw (Keno's spots). A game with a
// bonus and a second drum is "D/N+B+k/n".
std::string short_form(const Game& game);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GAME_H_
