#include "cli/game_command.h"

#include <cstdio>
#include <span>
#include <utility>

#include "cli/command.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "cli/schedule.h"
#include "cli/system.h"
#include "rivit/game_lines.h"
#include "rivit/game_results.h"
#include "rivit/tier_odds.h"

namespace cli {

namespace {

using rivit::Game;
using rivit::GameLine;

// Every line the written ones stand for: systems expanded.
std::vector<GameLine> every_line(const std::vector<GameLine>& written, const Game& game) {
  if (const std::optional<std::string> problem = rivit::system_problem(written, game)) {
    throw Failure{*problem, kUsageStatus};
  }
  std::vector<GameLine> lines;
  for (const GameLine& line : written) {
    const std::vector<GameLine> expanded = rivit::expand_system(line, game);
    lines.insert(lines.end(), expanded.begin(), expanded.end());
  }
  return lines;
}

int write_tier_odds(const GameRequest& request, const std::vector<GameLine>& lines, rt::LineSink& out) {
  const rivit::TierCount count(request.game, lines);
  rivit::TierTally every_piece;
  if (!rivit::tier_odds_problem(count)) {
    ProgressLine progress;
    every_piece = count_pieces(count, progress);
    progress.Clear();
  }
  request.format->write_game_odds(rivit::game_odds_of(request.game, lines.size(), count, every_piece), out);
  return 0;
}

int write_draws_check(const GameRequest& request, rt::LineSink& out) {
  const Game& game = request.game;
  std::vector<GameLine> lines = read_game_lines(*request.check, game, request.system).lines;
  rivit::ReadDraws draws;
  if (request.draw) {
    const rivit::ParsedDraw parsed = rivit::parse_draw(*request.draw, game);
    if (!parsed.error.empty()) throw Failure{"--draw: " + parsed.error, kUsageStatus};
    draws.draws.push_back(parsed.draw);
    draws.dates.push_back(parsed.date);
  } else {
    draws = rivit::read_draws(read_input(*request.draws), game);
    if (draws.bad) throw Failure{rivit::file_line_message(*draws.bad, input_name(*request.draws)), kUsageStatus};
  }
  if (const std::optional<std::string> problem = rivit::system_problem(lines, game)) {
    throw Failure{*problem, kUsageStatus};
  }
  request.format->write_draws_check(
      rivit::draws_check_of(game, std::move(lines), std::move(draws.draws), std::move(draws.dates)), out);
  return 0;
}

int write_lines_count(const GameRequest& request, rt::LineSink& out) {
  const std::vector<GameLine> written = read_game_lines(*request.check, request.game, request.system).lines;
  const std::vector<GameLine> lines = every_line(written, request.game);
  request.format->write_lines_count(rivit::lines_count_of(request.game, written.size(), lines.size()), out);
  return 0;
}

}  // namespace

rivit::ReadLines read_game_lines(const std::string& file, const Game& game, bool system) {
  rivit::LinesReader reader(game, system);
  read_input_lines(file, [&reader](std::string_view line) { return reader.take(line); });
  if (reader.read().bad) {
    throw Failure{rivit::file_line_message(*reader.read().bad, input_name(file)), kUsageStatus};
  }
  return reader.read();
}

Game game_of(const std::string& name, int line) {
  rivit::ParsedGame parsed = rivit::parse_game(name, line);
  if (parsed.game) return *parsed.game;
  // Not a name or a short form: a game file, where one opens.
  if (std::FILE* const file = open_file(name, "rb")) {
    std::fclose(file);
    parsed = rivit::parse_game_file(read_input(name));
    if (!parsed.game) throw Failure{name + ": " + parsed.error, kUsageStatus};
    return *parsed.game;
  }
  throw Failure{"--game: " + parsed.error, kUsageStatus};
}

int run_game(const GameRequest& request, rt::LineSink& out) {
  if (request.check && (request.draw || request.draws)) return write_draws_check(request, out);
  if (request.check) return write_lines_count(request, out);
  const std::vector<GameLine> lines =
      request.odds ? every_line(read_game_lines(*request.odds, request.game, request.system).lines, request.game)
                   : *request.lines;
  return write_tier_odds(request, lines, out);
}

}  // namespace cli
