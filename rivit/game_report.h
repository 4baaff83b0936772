// What a game's figures say to a player, in each output format: the tier
// odds of a set of lines with the expected return, and what one draw or a
// file of draws gave.
//   text  aligned tables a person reads: each tier by its operator's name,
//         its outcomes, share (to 0.000001 %) and "1 in X" (two decimals,
//         "never" for none), then no prize and any prize;
//   csv   a header, then one line per tier;
//   json  one object.

#ifndef ERILAISETRIVIT_RIVIT_GAME_REPORT_H_
#define ERILAISETRIVIT_RIVIT_GAME_REPORT_H_

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/prizes.h"
#include "rivit/tier_odds.h"
#include "runtime/output.h"

namespace rivit {

// The tier odds of a set of lines: the set's own where they were counted,
// and always one line's, from which the expected return comes.
struct GameOdds {
  Game game;
  std::uint64_t lines = 0;
  std::optional<TierOdds> set;   // nothing: out of reach
  std::string out_of_reach;      // why, when the set's odds were not counted
  TierOdds one_line;
  ExpectedReturn expected;
};

// The lines of a file checked against one draw, or against each of several.
struct DrawsCheck {
  Game game;
  std::vector<GameLine> lines;                // as written (a system as one line)
  std::vector<std::uint64_t> expanded;        // how many lines each stands for
  std::vector<Draw> draws;
  std::vector<std::string> dates;             // of each draw, empty where not given
  std::vector<std::vector<DrawResult>> results;  // results[d][i]: written line i's lines against draw d
};

// Lines read for a game, systems expanded, and what they cost.
struct LinesCount {
  Game game;
  std::uint64_t written = 0;  // lines as written
  std::uint64_t lines = 0;    // the lines they stand for
  std::optional<Cents> cost;  // at the game's price, where it has one
};

void write_lines_count_text(const LinesCount& count, rt::LineSink& out);
void write_lines_count_csv(const LinesCount& count, rt::LineSink& out);
void write_lines_count_json(const LinesCount& count, rt::LineSink& out);

void write_game_odds_text(const GameOdds& odds, rt::LineSink& out);
void write_game_odds_csv(const GameOdds& odds, rt::LineSink& out);
void write_game_odds_json(const GameOdds& odds, rt::LineSink& out);

void write_draws_check_text(const DrawsCheck& check, rt::LineSink& out);
void write_draws_check_csv(const DrawsCheck& check, rt::LineSink& out);
void write_draws_check_json(const DrawsCheck& check, rt::LineSink& out);

// "3 11 24 38 45 + 2 9", a line as the reader reads it.
std::string line_text(const GameLine& line, const Game& game);
// "3 7 12 19 22 31 38 + 5", a draw as the reader reads it.
std::string draw_text(const Draw& draw, const Game& game);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GAME_REPORT_H_
