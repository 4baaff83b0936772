#include "rivit/game.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace rivit {

std::optional<std::size_t> tier_of(const Game& game, int main, int bonus, int second) {
  for (std::size_t t = 0; t < game.tiers.size(); ++t) {
    if (meets(game.tiers[t].when, main, bonus, second)) return t;
  }
  return std::nullopt;
}

namespace {

std::string drum_problem(const Drum& drum, std::string_view what, int most) {
  if (drum.numbers < 2 || drum.numbers > most) {
    return std::string(what) + " has 2 to " + std::to_string(most) + " numbers, not " + std::to_string(drum.numbers);
  }
  if (drum.drawn < 1 || drum.drawn >= drum.numbers || drum.drawn > kMostLineNumbers) {
    return std::string(what) + " draws 1 to " + std::to_string(std::min(drum.numbers - 1, kMostLineNumbers)) +
           " of its " + std::to_string(drum.numbers) + " numbers, not " + std::to_string(drum.drawn);
  }
  return {};
}

}  // namespace

std::optional<std::string> game_problem(const Game& game) {
  if (std::string problem = drum_problem(game.main, "the main drum", kMostGameNumbers); !problem.empty()) {
    return problem;
  }
  if (game.bonus < 0 || game.bonus > kMostBonus || game.bonus > game.main.numbers - game.main.drawn) {
    return "a game draws 0 to " + std::to_string(std::min(kMostBonus, game.main.numbers - game.main.drawn)) +
           " bonus numbers, not " + std::to_string(game.bonus);
  }
  if (game.has_second()) {
    if (std::string problem = drum_problem(game.second, "the second drum", kMostGameNumbers); !problem.empty()) {
      return problem;
    }
  }
  if (game.line < 1 || game.line > kMostLineNumbers || game.line >= game.main.numbers) {
    return "a line holds 1 to " + std::to_string(std::min(kMostLineNumbers, game.main.numbers - 1)) +
           " main numbers, not " + std::to_string(game.line);
  }
  if (game.tiers.empty() || game.tiers.size() > static_cast<std::size_t>(kMostTiers)) {
    return "a game has 1 to " + std::to_string(kMostTiers) + " tiers, not " + std::to_string(game.tiers.size());
  }
  const int most_main = std::min(game.line, game.main.drawn);
  const int most_bonus = std::min(game.line, game.bonus);
  for (const Tier& tier : game.tiers) {
    const TierCondition& when = tier.when;
    const auto out = [](const std::optional<int>& hits, int most) { return hits && (*hits < 0 || *hits > most); };
    if (out(when.main, most_main) || out(when.bonus, most_bonus) || out(when.bonus_at_least, most_bonus) ||
        out(when.second, game.has_second() ? game.second.drawn : 0)) {
      return "the tier \"" + tier.name + "\" asks for hits that no line can have";
    }
    if (tier.name.empty()) return "a tier has no name";
    if (tier.prize && *tier.prize < 0) return "the tier \"" + tier.name + "\" has a negative prize";
  }
  return std::nullopt;
}

}  // namespace rivit
