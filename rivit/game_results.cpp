#include "rivit/game_results.h"

#include <utility>

namespace rivit {

GameOdds game_odds_of(const Game& game, std::uint64_t lines, const TierCount& count, const TierTally& every_piece) {
  GameOdds odds{game, lines, std::nullopt, {}, line_odds(game), {}};
  odds.expected = expected_return(game, odds.one_line, lines);
  if (const std::optional<std::string> problem = tier_odds_problem(count)) {
    odds.out_of_reach = *problem;
  } else {
    odds.set = count.odds(every_piece);
  }
  return odds;
}

DrawsCheck draws_check_of(const Game& game, std::vector<GameLine> lines, std::vector<Draw> draws,
                          std::vector<std::string> dates) {
  DrawsCheck check{game, std::move(lines), {}, std::move(draws), std::move(dates), {}};
  std::vector<std::vector<GameLine>> expanded;
  for (const GameLine& line : check.lines) {
    expanded.push_back(expand_system(line, game));
    check.expanded.push_back(expanded.back().size());
  }
  for (const Draw& draw : check.draws) {
    std::vector<DrawResult>& results = check.results.emplace_back();
    for (const std::vector<GameLine>& each : expanded) results.push_back(check_draw(each, draw, game));
  }
  return check;
}

LinesCount lines_count_of(const Game& game, std::uint64_t written, std::uint64_t lines) {
  LinesCount count{game, written, lines, std::nullopt};
  if (game.price) count.cost = *game.price * static_cast<Cents>(lines);
  return count;
}

}  // namespace rivit
