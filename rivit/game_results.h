// What a game's figures are, as the fronts show them (report/game_report.h
// writes them): the tier odds of a set of lines with the expected return,
// what one draw or a file of draws gave, and lines counted with their cost.
// Each is built here from what a front read and counted, so that the
// command and the page build it the same way and only pick the writer.

#ifndef ERILAISETRIVIT_RIVIT_GAME_RESULTS_H_
#define ERILAISETRIVIT_RIVIT_GAME_RESULTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/prizes.h"
#include "rivit/tier_odds.h"

namespace rivit {

// The tier odds of a set of lines: the set's own where they were counted,
// and always one line's, from which the expected return comes.
struct GameOdds {
  Game game;
  std::uint64_t lines = 0;
  std::optional<TierOdds> set;  // nothing: out of reach
  std::string out_of_reach;     // why, when the set's odds were not counted
  TierOdds one_line;
  ExpectedReturn expected;
};

// The odds of `lines` lines of `game` that `count` counts: the set's from
// the tally of every piece of the count, or why they are out of reach (its
// tier_odds_problem; `every_piece` is then not read), with one line's odds
// and the expected return at the game's prizes and price.
// REQUIRES: `count` is of those lines; without a tier_odds_problem,
// `every_piece` is the sum of the tallies of every piece of it.
GameOdds game_odds_of(const Game& game, std::uint64_t lines, const TierCount& count, const TierTally& every_piece);

// The lines of a file checked against one draw, or against each of several.
struct DrawsCheck {
  Game game;
  std::vector<GameLine> lines;          // as written (a system as one line)
  std::vector<std::uint64_t> expanded;  // how many lines each stands for
  std::vector<Draw> draws;
  std::vector<std::string> dates;                // of each draw, empty where not given
  std::vector<std::vector<DrawResult>> results;  // results[d][i]: written line i's lines against draw d
};

// Each written line, a system as every line it stands for, against each
// draw. REQUIRES: no system_problem(lines, game); `dates` one for each draw.
DrawsCheck draws_check_of(const Game& game, std::vector<GameLine> lines, std::vector<Draw> draws,
                          std::vector<std::string> dates);

// Lines read for a game, systems expanded, and what they cost.
struct LinesCount {
  Game game;
  std::uint64_t written = 0;  // lines as written
  std::uint64_t lines = 0;    // the lines they stand for
  std::optional<Cents> cost;  // at the game's price, where it has one
};

// `written` lines that stand for `lines`, at the game's price.
LinesCount lines_count_of(const Game& game, std::uint64_t written, std::uint64_t lines);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GAME_RESULTS_H_
