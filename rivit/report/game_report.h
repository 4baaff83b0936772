// What a game's figures (game_results.h) say to a player, in each output
// format: the tier odds of a set of lines with the expected return, what one
// draw or a file of draws gave, and lines counted.
//   text  aligned tables a person reads: each tier by its operator's name,
//         its outcomes, share (to 0.000001 %) and "1 in X" (two decimals,
//         "never" for none), then no prize and any prize;
//   csv   a header, then one line per tier;
//   json  one object.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_GAME_REPORT_H_
#define ERILAISETRIVIT_RIVIT_REPORT_GAME_REPORT_H_

#include <span>
#include <string>

#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/game_results.h"
#include "runtime/output.h"

namespace rivit {

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

// The games, one a line, apart by tabs: the name, the short form, the title
// and, where known, "rules from 2026-01-01" (the command's --games).
void write_games_text(std::span<const Game> games, rt::LineSink& out);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_GAME_REPORT_H_
