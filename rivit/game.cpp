#include "rivit/game.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rivit/counting.h"
#include "rivit/fields.h"

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
  if (game_outcomes(game) == kCountless) return "the game has more outcomes than 64 bits count";
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

namespace {

// A built-in game as the table holds it. A game whose line the player
// chooses (Keno's spots) names the fewest numbers of a line; its Game holds
// the most, and no tiers: they follow from the line (tiers_by_hits).
struct BuiltIn {
  Game game;
  int fewest_line = 0;  // 0: the line is the game's own
};

// Every built-in game, as the operators' rules and prize tables give it
// (the sources are their own pages where those could be read, otherwise the
// results sites that printed the same tiers). A rule change is an edit here:
// the date it took effect, the drums, the tiers.
//
// Prizes are the fixed ones only, in cents of the game's own money; a tier
// paid from a shared pool, or multiplied at random (Mega Millions since
// 2025 multiplies every prize but the jackpot, per play), has none.
//
// Keno (Finland): Veikkaus pays a fixed multiple of the stake for each count
// of hits at each level (spots), but its current pay table could not be
// checked, and the player chooses the stake. So its tiers are every count of
// hits from the spots down to one, by name, without prizes, for the player
// to set; no hit at all wins no tier.
const std::vector<BuiltIn>& built_in_table() {
  static const std::vector<BuiltIn> kTable = {
      {{.name = "lotto",
        .title = "Lotto (Finland)",
        .rules_from = "2016-12",
        .source = "https://lotteryguru.com/finland-lottery-results/fi-lotto",
        .main = {40, 7},
        .bonus = 1,
        .line = 7,
        .price = 100,
        .tiers = {{"7", {.main = 7}},
                  {"6+1", {.main = 6, .bonus = 1}},
                  {"6", {.main = 6}},
                  {"5", {.main = 5}},
                  {"4", {.main = 4}},
                  {"3+1", {.main = 3, .bonus = 1}}}}},
      {{.name = "eurojackpot",
        .title = "Eurojackpot (Europe)",
        .rules_from = "2022-03-25",
        .source = "https://www.danskelotto.com/eurojackpot-lottopraemier",
        .main = {50, 5},
        .second = {12, 2},
        .line = 5,
        .price = 200,
        .tiers = {{"5+2", {.main = 5, .second = 2}},
                  {"5+1", {.main = 5, .second = 1}},
                  {"5+0", {.main = 5, .second = 0}},
                  {"4+2", {.main = 4, .second = 2}},
                  {"4+1", {.main = 4, .second = 1}},
                  {"3+2", {.main = 3, .second = 2}},
                  {"4+0", {.main = 4, .second = 0}},
                  {"2+2", {.main = 2, .second = 2}},
                  {"3+1", {.main = 3, .second = 1}},
                  {"3+0", {.main = 3, .second = 0}},
                  {"1+2", {.main = 1, .second = 2}},
                  {"2+1", {.main = 2, .second = 1}}}}},
      {{.name = "euromillions",
        .title = "EuroMillions (Europe)",
        .rules_from = "2016-09-27",
        .source = "https://www.lottery.ie/how-to-play/euromillions",
        .main = {50, 5},
        .second = {12, 2},
        .line = 5,
        .price = 250,
        .tiers = {{"5+2", {.main = 5, .second = 2}},
                  {"5+1", {.main = 5, .second = 1}},
                  {"5+0", {.main = 5, .second = 0}},
                  {"4+2", {.main = 4, .second = 2}},
                  {"4+1", {.main = 4, .second = 1}},
                  {"3+2", {.main = 3, .second = 2}},
                  {"4+0", {.main = 4, .second = 0}},
                  {"2+2", {.main = 2, .second = 2}},
                  {"3+1", {.main = 3, .second = 1}},
                  {"3+0", {.main = 3, .second = 0}},
                  {"1+2", {.main = 1, .second = 2}},
                  {"2+1", {.main = 2, .second = 1}},
                  {"2+0", {.main = 2, .second = 0}}}}},
      {{.name = "vikinglotto",
        .title = "Vikinglotto (Finland)",
        .source = "https://viking-lotto.net/en/odds",
        .main = {48, 6},
        .second = {5, 1},
        .line = 6,
        .price = 100,
        .tiers = {{"6+V", {.main = 6, .second = 1}},
                  {"6", {.main = 6, .second = 0}},
                  {"5+V", {.main = 5, .second = 1}},
                  {"5", {.main = 5, .second = 0}},
                  {"4+V", {.main = 4, .second = 1}},
                  {"4", {.main = 4, .second = 0}},
                  {"3+V", {.main = 3, .second = 1}},
                  {"3", {.main = 3, .second = 0}}}}},
      {{.name = "powerball",
        .title = "Powerball (United States)",
        .source = "https://www.powerball.com/powerball-prize-chart",
        .main = {69, 5},
        .second = {26, 1},
        .line = 5,
        .price = 200,
        .tiers = {{"5+PB", {.main = 5, .second = 1}},
                  {"5", {.main = 5, .second = 0}, 1'000'000'00},
                  {"4+PB", {.main = 4, .second = 1}, 50'000'00},
                  {"4", {.main = 4, .second = 0}, 100'00},
                  {"3+PB", {.main = 3, .second = 1}, 100'00},
                  {"3", {.main = 3, .second = 0}, 7'00},
                  {"2+PB", {.main = 2, .second = 1}, 7'00},
                  {"1+PB", {.main = 1, .second = 1}, 4'00},
                  {"PB only", {.main = 0, .second = 1}, 4'00}}}},
      {{.name = "mega-millions",
        .title = "Mega Millions (United States)",
        .rules_from = "2025-04-08",
        .source = "https://wilottery.com/mega-millions-new-features",
        .main = {70, 5},
        .second = {24, 1},
        .line = 5,
        .price = 500,
        .tiers = {{"5+MB", {.main = 5, .second = 1}},
                  {"5", {.main = 5, .second = 0}},
                  {"4+MB", {.main = 4, .second = 1}},
                  {"4", {.main = 4, .second = 0}},
                  {"3+MB", {.main = 3, .second = 1}},
                  {"3", {.main = 3, .second = 0}},
                  {"2+MB", {.main = 2, .second = 1}},
                  {"1+MB", {.main = 1, .second = 1}},
                  {"MB only", {.main = 0, .second = 1}}}}},
      {{.name = "uk-lotto",
        .title = "Lotto (United Kingdom)",
        .source = "https://www.gamble.net/lottery/lotto",
        .main = {59, 6},
        .bonus = 1,
        .line = 6,
        .price = 200,
        .tiers = {{"6", {.main = 6}},
                  {"5+B", {.main = 5, .bonus = 1}},
                  {"5", {.main = 5}},
                  {"4", {.main = 4}},
                  {"3", {.main = 3}, 30'00},
                  {"2", {.main = 2}}}}},
      {{.name = "irish-lotto",
        .title = "Lotto (Ireland)",
        .source = "https://irish.national-lottery.com/irish-lotto/prizes",
        .main = {47, 6},
        .bonus = 1,
        .line = 6,
        .price = 200,
        .tiers = {{"6", {.main = 6}},
                  {"5+B", {.main = 5, .bonus = 1}},
                  {"5", {.main = 5}},
                  {"4+B", {.main = 4, .bonus = 1}},
                  {"4", {.main = 4}},
                  {"3+B", {.main = 3, .bonus = 1}},
                  {"3", {.main = 3}},
                  {"2+B", {.main = 2, .bonus = 1}}}}},
      {{.name = "oz-lotto",
        .title = "Oz Lotto (Australia)",
        .rules_from = "2022-05-17",
        .source = "https://www.thelott.com/promotions/new-oz-lotto/faq",
        .main = {47, 7},
        .bonus = 3,
        .line = 7,
        .tiers = {{"Division 1", {.main = 7}},
                  {"Division 2", {.main = 6, .bonus_at_least = 1}},
                  {"Division 3", {.main = 6}},
                  {"Division 4", {.main = 5, .bonus_at_least = 1}},
                  {"Division 5", {.main = 5}},
                  {"Division 6", {.main = 4}},
                  {"Division 7", {.main = 3, .bonus_at_least = 1}}}}},
      {{.name = "saturday-lotto",
        .title = "Saturday Lotto (Australia)",
        .source = "https://australia.national-lottery.com/saturday-lotto/dividends",
        .main = {45, 6},
        .bonus = 2,
        .line = 6,
        .tiers = {{"Division 1", {.main = 6}},
                  {"Division 2", {.main = 5, .bonus_at_least = 1}},
                  {"Division 3", {.main = 5}},
                  {"Division 4", {.main = 4}},
                  {"Division 5", {.main = 3, .bonus_at_least = 1}},
                  {"Division 6", {.main = 3}}}}},
      {{.name = "powerball-au",
        .title = "Powerball (Australia)",
        .source = "https://www.powerball.net/australia/prizes",
        .main = {35, 7},
        .second = {20, 1},
        .line = 7,
        .tiers = {{"Division 1", {.main = 7, .second = 1}},
                  {"Division 2", {.main = 7, .second = 0}},
                  {"Division 3", {.main = 6, .second = 1}},
                  {"Division 4", {.main = 6, .second = 0}},
                  {"Division 5", {.main = 5, .second = 1}},
                  {"Division 6", {.main = 4, .second = 1}},
                  {"Division 7", {.main = 5, .second = 0}},
                  {"Division 8", {.main = 3, .second = 1}},
                  {"Division 9", {.main = 2, .second = 1}}}}},
      {{.name = "lotto-649",
        .title = "Lotto 6/49 (Canada)",
        .rules_from = "2022-09-14",
        .source = "https://www.olg.ca/en/lottery/play-lotto-649-encore/lotto-649-game-conditions.html",
        .main = {49, 6},
        .bonus = 1,
        .line = 6,
        .price = 300,
        .tiers = {{"6/6", {.main = 6}},
                  {"5/6+B", {.main = 5, .bonus = 1}},
                  {"5/6", {.main = 5}},
                  {"4/6", {.main = 4}},
                  {"3/6", {.main = 3}},
                  {"2/6+B", {.main = 2, .bonus = 1}},
                  {"2/6", {.main = 2}}}}},
      {{.name = "superenalotto",
        .title = "SuperEnalotto (Italy)",
        .source = "https://www.wallstreetitalia.com/superenalotto-a-sassari-un-sei-che-vale-quasi-60-milioni/",
        .main = {90, 6},
        .bonus = 1,
        .line = 6,
        .price = 100,
        .tiers = {{"6", {.main = 6}},
                  {"5+1", {.main = 5, .bonus = 1}},
                  {"5", {.main = 5}},
                  {"4", {.main = 4}},
                  {"3", {.main = 3}},
                  {"2", {.main = 2}}}}},
      {{.name = "keno",
        .title = "Keno (Finland)",
        .source = "https://lottotieto.fi/en/keno",
        .main = {70, 20},
        .line = 10},
       2},
  };
  return kTable;
}

// One tier for each count of hits from the line's numbers down to one.
std::vector<Tier> tiers_by_hits(int line) {
  std::vector<Tier> tiers;
  for (int hits = line; hits >= 1; --hits) tiers.push_back({std::to_string(hits), {.main = hits}});
  return tiers;
}

// The game of a table entry, with a line of `line` numbers where the player
// chooses it.
Game game_of(const BuiltIn& entry, int line) {
  Game game = entry.game;
  if (entry.fewest_line > 0) {
    game.line = line;
    game.tiers = tiers_by_hits(line);
  }
  return game;
}

std::vector<Game> games_of_table() {
  std::vector<Game> games;
  for (const BuiltIn& entry : built_in_table()) games.push_back(game_of(entry, entry.game.line));
  return games;
}

std::string built_in_names() {
  std::string names;
  for (const BuiltIn& entry : built_in_table()) names += (names.empty() ? "" : ", ") + entry.game.name;
  return names;
}

// A built-in game with a line of `line` numbers, 0 for its own.
ParsedGame built_in(const BuiltIn& entry, int line) {
  const Game& game = entry.game;
  if (entry.fewest_line > 0) {
    if (line < entry.fewest_line || line > game.line) {
      return {std::nullopt, game.name + " needs --length " + std::to_string(entry.fewest_line) + ".." +
                                std::to_string(game.line) + " (the numbers a line holds)" +
                                (line == 0 ? "" : ", not " + std::to_string(line))};
    }
    return {game_of(entry, line), {}};
  }
  if (line != 0 && line != game.line) {
    return {std::nullopt,
            game.title + " has lines of " + std::to_string(game.line) + " numbers, not " + std::to_string(line)};
  }
  return {game, {}};
}

// A whole number written in decimal digits alone, or nothing.
std::optional<int> digits_of(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// "D/N" as a drum.
std::optional<Drum> drum_of(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::optional<int> drawn = digits_of(text.substr(0, slash));
  const std::optional<int> numbers = digits_of(text.substr(slash + 1));
  if (!drawn || !numbers) return std::nullopt;
  return Drum{*numbers, *drawn};
}

// The tiers of a short form: every combination of hits with a main or a
// second-drum hit, most main hits first, then most of the others.
std::vector<Tier> short_form_tiers(const Game& game) {
  const int most_main = std::min(game.line, game.main.drawn);
  const int most_second = game.has_second() ? game.second.drawn : 0;
  std::vector<Tier> tiers;
  for (int main = most_main; main >= 0; --main) {
    for (int bonus = std::min(game.bonus, game.line - main); bonus >= 0; --bonus) {
      for (int second = most_second; second >= 0; --second) {
        if (main == 0 && second == 0) continue;
        Tier tier{std::to_string(main), {.main = main}};
        if (game.bonus > 0) {
          tier.when.bonus = bonus;
          if (bonus > 0 || game.has_second()) tier.name.append("+").append(std::to_string(bonus));
        }
        if (game.has_second()) {
          tier.when.second = second;
          tier.name.append("+").append(std::to_string(second));
        }
        tiers.push_back(std::move(tier));
      }
    }
  }
  return tiers;
}

// The drums and line of a short form ("D/N", "D/N+B", "D/N+k/n",
// "D/N+B+k/n", each optionally followed by a space and the numbers of a
// line), without tiers; or nothing for text that is not one.
std::optional<Game> short_form_game(std::string_view text, int line) {
  Game game;
  if (const std::size_t space = text.find(' '); space != std::string_view::npos) {
    const std::optional<int> own_line = digits_of(text.substr(space + 1));
    if (!own_line) return std::nullopt;
    game.line = *own_line;
    text = text.substr(0, space);
  }
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t plus = text.find('+', start);
    parts.push_back(text.substr(start, plus - start));
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  if (parts.size() > 3) return std::nullopt;
  const std::optional<Drum> main = drum_of(parts.front());
  if (!main) return std::nullopt;
  game.main = *main;
  if (parts.size() > 1) {
    const bool last_is_drum = parts.back().find('/') != std::string_view::npos;
    if (parts.size() == 3 && !last_is_drum) return std::nullopt;
    const std::optional<Drum> second = last_is_drum ? drum_of(parts.back()) : Drum{};
    const std::optional<int> bonus = parts.size() == 3 || !last_is_drum ? digits_of(parts[1]) : 0;
    if (!second || !bonus) return std::nullopt;
    game.second = *second;
    game.bonus = *bonus;
  }
  if (line != 0) game.line = line;
  if (game.line == 0) game.line = game.main.drawn;
  game.name = short_form(game);
  game.title = game.name;
  return game;
}

// Reading a game file: each function says what is wrong with the value at
// `where` ("main", "tiers[2]"), or nothing, and sets what it reads only
// when nothing is wrong.
using Json = nlohmann::json;
using Problem = std::optional<std::string>;

constexpr std::int64_t kMostAmount = 1000000000;  // in the game's money; its cents stay exact in a double
constexpr std::uint64_t kLargestWhole = 1000000;

// "\"tiers[2].main\"": a key as a message names it. Built by appending, as
// GCC 12 at -O3 takes a literal added before a temporary string for an
// overlapping copy.
std::string quoted_key(std::string_view where, std::string_view key) {
  std::string quoted = "\"";
  if (!where.empty()) quoted.append(where).append(".");
  return quoted.append(key).append("\"");
}

std::string shown(const Json& value) {
  return quoted_field(value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

Problem check_object(const Json& value, std::string_view where, std::initializer_list<std::string_view> keys) {
  if (!value.is_object()) {
    return (where.empty() ? std::string("the game file") : quoted_key({}, where)).append(" is not an object");
  }
  for (const auto& [key, unused] : value.items()) {
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) return std::string("unknown key ").append(quoted_key(where, key));
  }
  return std::nullopt;
}

// The value of `key`, or null where it is not there.
const Json* value_of(const Json& object, std::string_view key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

// A key that must be there and is not.
Problem missing(const Json& object, std::string_view where, std::string_view key) {
  if (value_of(object, key) != nullptr) return std::nullopt;
  return quoted_key(where, key).append(" is missing");
}

// A whole number from 0 to kLargestWhole: beyond what any game has, so
// that game_problem words what is wrong with it.
Problem read_whole(const Json& object, std::string_view where, std::string_view key, std::optional<int>& out) {
  const Json* value = value_of(object, key);
  if (value == nullptr) return std::nullopt;
  if (!value->is_number_unsigned() || value->get<std::uint64_t>() > kLargestWhole) {
    return quoted_key(where, key)
        .append(" is not a whole number from 0 to ")
        .append(std::to_string(kLargestWhole))
        .append(": ")
        .append(shown(*value));
  }
  out = static_cast<int>(value->get<std::uint64_t>());
  return std::nullopt;
}

Problem read_whole(const Json& object, std::string_view where, std::string_view key, int& out) {
  std::optional<int> read;
  if (Problem problem = read_whole(object, where, key, read)) return problem;
  if (read) out = *read;
  return std::nullopt;
}

Problem read_text(const Json& object, std::string_view where, std::string_view key, std::string& out) {
  const Json* value = value_of(object, key);
  if (value == nullptr) return std::nullopt;
  if (!value->is_string()) return quoted_key(where, key).append(" is not text: ").append(shown(*value));
  out = value->get<std::string>();
  return std::nullopt;
}

// An amount of money with at most two decimals, as cents.
Problem read_amount(const Json& object, std::string_view where, std::string_view key, std::optional<Cents>& out) {
  const Json* value = value_of(object, key);
  if (value == nullptr) return std::nullopt;
  const std::string name = quoted_key(where, key);
  if (!value->is_number()) return name + " is not an amount: " + shown(*value);
  const double amount = value->get<double>();
  if (amount < 0 || amount > static_cast<double>(kMostAmount)) {
    return name + " is not an amount from 0 to " + std::to_string(kMostAmount) + ": " + shown(*value);
  }
  const double cents = std::round(amount * 100);
  if (std::abs(cents - amount * 100) > 1e-4) return name + " is not a whole number of cents: " + shown(*value);
  out = static_cast<Cents>(cents);
  return std::nullopt;
}

Problem read_drum(const Json& object, std::string_view key, Drum& drum, int* bonus) {
  const Json* value = value_of(object, key);
  if (value == nullptr) return std::nullopt;
  const std::string where(key);
  if (Problem problem = bonus == nullptr ? check_object(*value, where, {"numbers", "drawn"})
                                         : check_object(*value, where, {"numbers", "drawn", "bonus"})) {
    return problem;
  }
  for (const std::string_view required : {"numbers", "drawn"}) {
    if (Problem problem = missing(*value, where, required)) return problem;
  }
  if (Problem problem = read_whole(*value, where, "numbers", drum.numbers)) return problem;
  if (Problem problem = read_whole(*value, where, "drawn", drum.drawn)) return problem;
  return bonus == nullptr ? std::nullopt : read_whole(*value, where, "bonus", *bonus);
}

Problem read_tier(const Json& value, std::string_view where, Tier& tier) {
  if (Problem problem = check_object(value, where, {"name", "main", "bonus", "bonus_at_least", "second", "prize"})) {
    return problem;
  }
  if (Problem problem = missing(value, where, "name")) return problem;
  if (Problem problem = read_text(value, where, "name", tier.name)) return problem;
  const std::pair<std::string_view, std::optional<int>*> conditions[] = {{"main", &tier.when.main},
                                                                         {"bonus", &tier.when.bonus},
                                                                         {"bonus_at_least", &tier.when.bonus_at_least},
                                                                         {"second", &tier.when.second}};
  for (const auto& [key, condition] : conditions) {
    if (Problem problem = read_whole(value, where, key, *condition)) return problem;
  }
  return read_amount(value, where, "prize", tier.prize);
}

Problem read_game(const Json& file, Game& game) {
  if (Problem problem = check_object(
          file, "", {"name", "title", "rules_from", "source", "main", "second", "line", "price", "tiers"})) {
    return problem;
  }
  for (const std::string_view required : {"name", "main", "tiers"}) {
    if (Problem problem = missing(file, "", required)) return problem;
  }
  const std::pair<std::string_view, std::string*> texts[] = {
      {"name", &game.name}, {"title", &game.title}, {"rules_from", &game.rules_from}, {"source", &game.source}};
  for (const auto& [key, text] : texts) {
    if (Problem problem = read_text(file, "", key, *text)) return problem;
  }
  if (game.name.empty()) return "\"name\" is empty";
  if (game.title.empty()) game.title = game.name;
  if (Problem problem = read_drum(file, "main", game.main, &game.bonus)) return problem;
  if (Problem problem = read_drum(file, "second", game.second, nullptr)) return problem;
  game.line = game.main.drawn;
  if (Problem problem = read_whole(file, "", "line", game.line)) return problem;
  if (Problem problem = read_amount(file, "", "price", game.price)) return problem;
  const Json& tiers = *value_of(file, "tiers");
  if (!tiers.is_array()) return "\"tiers\" is not a list";
  for (std::size_t i = 0; i < tiers.size(); ++i) {
    Tier tier;
    if (Problem problem = read_tier(tiers[i], "tiers[" + std::to_string(i) + "]", tier)) return problem;
    game.tiers.push_back(std::move(tier));
  }
  return game_problem(game);
}

// An amount of cents as a game file writes it: whole units as an integer.
Json amount_of(Cents cents) {
  if (cents % 100 == 0) return cents / 100;
  return static_cast<double>(cents) / 100;
}

// A game file as text: a line for each key, and for each tier.
std::string laid_out(const nlohmann::ordered_json& file) {
  const auto dumped = [](const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  };
  std::string text = "{";
  for (auto key = file.begin(); key != file.end(); ++key) {
    text += (key == file.begin() ? "\n  " : ",\n  ") + dumped(key.key()) + ": ";
    if (!key.value().is_array()) {
      text += dumped(key.value());
      continue;
    }
    text += "[";
    for (std::size_t i = 0; i < key.value().size(); ++i)
      text += (i == 0 ? "\n    " : ",\n    ") + dumped(key.value()[i]);
    text += "\n  ]";
  }
  return text + "\n}\n";
}

}  // namespace

std::span<const Game> built_in_games() {
  static const std::vector<Game> kGames = games_of_table();
  return kGames;
}

ParsedGame parse_game(std::string_view name, int line) {
  for (const BuiltIn& entry : built_in_table()) {
    if (entry.game.name == name) return built_in(entry, line);
  }
  if (name.find('/') == std::string_view::npos) {
    return {std::nullopt, quoted_field(name) + " is no game: the games are " + built_in_names() +
                              ", or a short form such as 6/49, 7/40+1 or 5/50+2/12"};
  }
  std::optional<Game> game = short_form_game(name, line);
  if (!game) {
    return {std::nullopt,
            quoted_field(name) + " is no short form of a game: D/N, D/N+B or D/N+k/n, as 6/49, 7/40+1 or 5/50+2/12"};
  }
  // The drums are checked before the tiers are made: a drum of a billion
  // numbers would make as many.
  game->tiers = {Tier{"any hits", {}}};
  Problem problem = game_problem(*game);
  if (!problem) {
    game->tiers = short_form_tiers(*game);
    problem = game_problem(*game);
  }
  if (problem) return {std::nullopt, std::string(name) + ": " + *problem};
  return {std::move(game), {}};
}

ParsedGame parse_game_file(std::string_view json) {
  Json file;
  try {
    file = Json::parse(json);
  } catch (const Json::exception& error) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ...; last read: '...'", or a number
    // too large: the bytes last read may be any, so they are left out.
    std::string_view what = error.what();
    what.remove_prefix(std::min(what.size(), what.find("] ") + 2));
    return {std::nullopt, "not JSON: " + std::string(what.substr(0, what.find("; last read")))};
  }
  Game game;
  if (Problem problem = read_game(file, game)) return {std::nullopt, std::move(*problem)};
  return {std::move(game), {}};
}

std::string game_file(const Game& game) {
  nlohmann::ordered_json file = {{"name", game.name}};
  for (const auto& [key, text] : {std::pair{"title", &game.title}, std::pair{"rules_from", &game.rules_from},
                                  std::pair{"source", &game.source}}) {
    if (!text->empty()) file[key] = *text;
  }
  file["main"] = {{"numbers", game.main.numbers}, {"drawn", game.main.drawn}};
  if (game.bonus > 0) file["main"]["bonus"] = game.bonus;
  if (game.has_second()) file["second"] = {{"numbers", game.second.numbers}, {"drawn", game.second.drawn}};
  file["line"] = game.line;
  if (game.price) file["price"] = amount_of(*game.price);
  file["tiers"] = nlohmann::ordered_json::array();
  for (const Tier& tier : game.tiers) {
    nlohmann::ordered_json entry = {{"name", tier.name}};
    const std::pair<const char*, const std::optional<int>*> conditions[] = {
        {"main", &tier.when.main},
        {"bonus", &tier.when.bonus},
        {"bonus_at_least", &tier.when.bonus_at_least},
        {"second", &tier.when.second}};
    for (const auto& [key, condition] : conditions) {
      if (*condition) entry[key] = **condition;
    }
    if (tier.prize) entry["prize"] = amount_of(*tier.prize);
    file["tiers"].push_back(std::move(entry));
  }
  return laid_out(file);
}

std::string short_form(const Game& game) {
  std::string form = std::to_string(game.main.drawn) + "/" + std::to_string(game.main.numbers);
  if (game.bonus > 0) form.append("+").append(std::to_string(game.bonus));
  if (game.has_second()) {
    form.append("+").append(std::to_string(game.second.drawn)).append("/").append(std::to_string(game.second.numbers));
  }
  if (game.line != game.main.drawn) form.append(" ").append(std::to_string(game.line));
  return form;
}

}  // namespace rivit
