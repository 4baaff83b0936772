// The exact tier odds of a set of lines of a game: for every outcome (the
// main draw, the bonus numbers from what it leaves, the second drum), the
// best tier that any line wins, tallied over all C(N, D)·C(N − D, B)·C(n, k)
// equally likely outcomes. Every outcome is counted, none sampled, so the
// figures are exact integers, the same however the work is shared out.
//
// An outcome is counted by where it meets the lines' own numbers: numbers
// that no line holds are interchangeable, so the draws are gone through by
// their part inside the union of the lines' numbers, each weighted by the
// ways to fill the rest from outside it. A few lines of a game of 90
// numbers, or of Keno, stay in reach; a set whose union is large costs as
// much as every draw.

#ifndef ERILAISETRIVIT_RIVIT_TIER_ODDS_H_
#define ERILAISETRIVIT_RIVIT_TIER_ODDS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/game.h"

namespace rivit {

// The most outcome classes a count goes through before it is out of reach.
inline constexpr std::uint64_t kMostTierWork = std::uint64_t{1} << 36;

struct TierTally {
  std::vector<std::uint64_t> tiers;  // the outcomes whose best tier is each, in the game's order
  std::uint64_t none = 0;            // the outcomes no line wins anything in

  void add(const TierTally& other);
};

struct TierOdds {
  std::size_t lines = 0;
  std::uint64_t outcomes = 0;        // C(N, D)·C(N − D, B)·C(n, k)
  std::vector<std::uint64_t> tiers;  // by best tier, in the game's order
  std::uint64_t none = 0;            // the outcomes with no prize; tiers and none sum to outcomes
};

class TierWalker;

// The count, split into pieces that may be counted in any order, by any
// number of counters, their tallies summed.
class TierCount {
 public:
  // REQUIRES: !game_problem(game); each line holds game.line main numbers
  // of 1..main.numbers and second.drawn numbers of 1..second.numbers. The
  // game and the lines are copied.
  TierCount(const Game& game, std::span<const GameLine> lines);
  ~TierCount();
  TierCount(const TierCount&) = delete;
  TierCount& operator=(const TierCount&) = delete;

  // The work the count would take, in outcome classes; over kMostTierWork
  // it is out of reach.
  std::uint64_t work() const;
  // None where the count cannot be exact (tier_odds_problem says why).
  std::size_t pieces() const;
  // The work of piece i, for a progress line. REQUIRES: i < pieces().
  std::uint64_t work_of(std::size_t i) const;
  TierOdds odds(const TierTally& every_piece) const;

  class Counter {
   public:
    explicit Counter(const TierCount& count);
    ~Counter();
    Counter(Counter&&) noexcept;
    Counter& operator=(Counter&&) noexcept;
    // REQUIRES: i < pieces(), piece i not counted yet by any counter.
    void count(std::size_t i);
    const TierTally& tally() const;

   private:
    std::unique_ptr<TierWalker> walker_;
  };

 private:
  friend class TierWalker;
  friend std::optional<std::string> tier_odds_problem(const TierCount& count);
  struct Plan;
  std::unique_ptr<Plan> plan_;
};

// The odds of `lines`, every piece counted on the calling thread.
TierOdds tier_odds_of(const Game& game, std::span<const GameLine> lines);

// Why the tier odds of these lines are not counted, as the fronts say it
// ("the lines hold 61 numbers: too many to count every outcome", or a game
// whose outcomes do not fit 64 bits); nothing when they are.
std::optional<std::string> tier_odds_problem(const TierCount& count);

// The odds of one line of the game, by the closed formula: the same for
// every line, and always in reach. REQUIRES: !game_problem(game), and the
// game's outcomes fit 64 bits.
TierOdds line_odds(const Game& game);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_TIER_ODDS_H_
