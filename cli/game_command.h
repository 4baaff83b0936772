// The command's part for real games (--game): the tier odds of a file of
// lines with their expected return, what a draw or a file of draws gave,
// and lines counted. Every rule and figure is the library's;
// this reads the files and shares the count between two threads.

#ifndef ERILAISETRIVIT_CLI_GAME_COMMAND_H_
#define ERILAISETRIVIT_CLI_GAME_COMMAND_H_

#include <optional>
#include <string>
#include <vector>

#include "rivit/game.h"
#include "rivit/game_lines.h"
#include "rivit/report/format.h"
#include "runtime/output.h"

namespace cli {

struct GameRequest {
  rivit::Game game;  // prizes and price set
  const rivit::OutputFormat* format = nullptr;
  bool system = false;
  std::optional<std::string> check;  // the lines' file, with a draw or alone
  std::optional<std::string> odds;   // the lines' file for the tier odds
  std::optional<std::string> draw;   // one draw, as written
  std::optional<std::string> draws;  // a file of draws
  // The lines for --odds without a file (a run's, or those searched for),
  // main numbers only.
  std::optional<std::vector<rivit::GameLine>> lines;
};

// The game of --game: a built-in name, a short form, or a game file's name;
// with `line`, the main numbers of a line (Keno's spots). Throws Failure.
rivit::Game game_of(const std::string& name, int line);

// The lines of `file` (kStandardInput: standard input) as written, up to
// the first bad line. Throws Failure naming it.
rivit::ReadLines read_game_lines(const std::string& file, const rivit::Game& game, bool system);

// Writes what the request asks for; returns the exit status.
int run_game(const GameRequest& request, rt::LineSink& out);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_GAME_COMMAND_H_
