#include "rivit/report/game_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <numeric>
#include <string>

#include "rivit/report/figures.h"

namespace rivit {

namespace {

unsigned long long wide(std::uint64_t n) { return static_cast<unsigned long long>(n); }

std::string numbers_text(const NumberSet& set) {
  std::string text;
  set.for_each([&text](int n) { text.append(text.empty() ? "" : " ").append(std::to_string(n)); });
  return text;
}

constexpr char kNoPrize[] = "no prize";
constexpr char kAnyPrize[] = "any prize";

// The width of the tier column: the longest name, or the totals' own.
int name_width(const Game& game) {
  std::size_t width = sizeof kAnyPrize - 1;
  for (const Tier& tier : game.tiers) width = std::max(width, tier.name.size());
  return static_cast<int>(width);
}

std::uint64_t any_prize(const TierOdds& odds) {
  return std::accumulate(odds.tiers.begin(), odds.tiers.end(), std::uint64_t{0});
}

std::string game_line(const Game& game) {
  const std::string form = short_form(game);
  if (game.title.empty() && game.name == form) return "game: " + form;
  return "game: " + (game.title.empty() ? game.name : game.title) + ", " + form;
}

void write_tier_table_text(const Game& game, const TierOdds& odds, rt::LineSink& out) {
  const int width = name_width(game);
  out.WriteLine(printed("outcomes: %llu", wide(odds.outcomes)));
  out.WriteLine(printed("%-*s  %15s  %12s    %s", width, "tier", "outcomes", "share", "odds"));
  const auto row = [&](const std::string& name, std::uint64_t count) {
    out.WriteLine(printed("%-*s  %15llu  %12.6f %%  %s", width, name.c_str(), wide(count),
                          percent(count, odds.outcomes), one_in(count, odds.outcomes).c_str()));
  };
  for (std::size_t t = 0; t < game.tiers.size(); ++t) row(game.tiers[t].name, odds.tiers[t]);
  row(kNoPrize, odds.none);
  row(kAnyPrize, any_prize(odds));
}

std::string lines_word(std::uint64_t lines) { return std::to_string(lines) + (lines == 1 ? " line" : " lines"); }

void write_expected_text(const ExpectedReturn& expected, rt::LineSink& out) {
  if (expected.priced == 0) {
    out.WriteLine("expected prize: not known, no tier has a prize (set them with --prize TIER=AMOUNT)");
    return;
  }
  std::string line = "expected prize: " + amount_text(expected.per_draw) + " a draw for " + lines_word(expected.lines);
  if (expected.cost) line += ", which cost " + amount_text(*expected.cost);
  if (expected.per_unit) line += printed(": %.4f back for each 1 spent", *expected.per_unit);
  out.WriteLine(line);
  if (!expected.unpriced.empty()) {
    std::string names;
    for (const std::string& name : expected.unpriced) names += (names.empty() ? "" : ", ") + name;
    out.WriteLine("counted as no prize, having none set (--prize TIER=AMOUNT): " + names);
  }
}

nlohmann::json tiers_json(const Game& game, const TierOdds& odds) {
  nlohmann::json tiers = nlohmann::json::array();
  for (std::size_t t = 0; t < game.tiers.size(); ++t) {
    nlohmann::json tier = {{"name", game.tiers[t].name}, {"outcomes", odds.tiers[t]}};
    if (game.tiers[t].prize) tier["prize"] = amount_text(*game.tiers[t].prize);
    tiers.push_back(std::move(tier));
  }
  return tiers;
}

nlohmann::json odds_json(const Game& game, const TierOdds& odds) {
  return {{"lines", odds.lines},
          {"outcomes", odds.outcomes},
          {"tiers", tiers_json(game, odds)},
          {"none", odds.none},
          {"any", any_prize(odds)}};
}

nlohmann::json expected_json(const ExpectedReturn& expected) {
  nlohmann::json object = {{"lines", expected.lines}, {"prize", amount_text(expected.per_draw)},
                           {"unpriced", expected.unpriced}};
  if (expected.cost) object["cost"] = amount_text(*expected.cost);
  if (expected.per_unit) object["per_unit"] = *expected.per_unit;
  return object;
}

// "6", "6+1", "5+2": a line's hits in the game's terms.
std::string hits_text(const LineResult& result, const Game& game) {
  std::string text = std::to_string(result.main);
  if (game.bonus > 0) text += "+" + std::to_string(result.bonus);
  if (game.has_second()) text += "+" + std::to_string(result.second);
  return text;
}

std::string prize_text(const Game& game, std::size_t tier) {
  return game.tiers[tier].prize ? amount_text(*game.tiers[tier].prize) : "not fixed";
}

// "4 × 5, 30 × 4": the tiers a system's lines won.
std::string tier_lines_text(const Game& game, const std::vector<std::uint64_t>& tier_lines) {
  std::string text;
  for (std::size_t t = 0; t < tier_lines.size(); ++t) {
    if (tier_lines[t] != 0) text += (text.empty() ? "" : ", ") + std::to_string(tier_lines[t]) + " x " + game.tiers[t].name;
  }
  return text.empty() ? "-" : text;
}

struct Totals {
  std::vector<std::uint64_t> tier_lines;
  Cents prizes = 0;
  bool every_prize_known = true;
  std::uint64_t lines = 0;

  void add(const DrawResult& result, std::uint64_t lines_of) {
    if (tier_lines.empty()) tier_lines.assign(result.tier_lines.size(), 0);
    for (std::size_t t = 0; t < tier_lines.size(); ++t) tier_lines[t] += result.tier_lines[t];
    prizes += result.prizes;
    every_prize_known = every_prize_known && result.every_prize_known;
    lines += lines_of;
  }
};

// Over one draw.
Totals totals_of(const DrawsCheck& check, std::size_t draw) {
  Totals totals;
  totals.tier_lines.assign(check.game.tiers.size(), 0);
  for (std::size_t i = 0; i < check.lines.size(); ++i) totals.add(check.results[draw][i], check.expanded[i]);
  return totals;
}

// Over every draw.
Totals all_totals(const DrawsCheck& check) {
  Totals totals;
  totals.tier_lines.assign(check.game.tiers.size(), 0);
  for (std::size_t d = 0; d < check.draws.size(); ++d) {
    for (std::size_t i = 0; i < check.lines.size(); ++i) totals.add(check.results[d][i], check.expanded[i]);
  }
  return totals;
}

void write_totals_text(const Game& game, const Totals& totals, rt::LineSink& out) {
  const int width = name_width(game);
  out.WriteLine(printed("%-*s  %10s  %s", width, "tier", "lines", "prize"));
  std::uint64_t winning = 0;
  for (std::size_t t = 0; t < game.tiers.size(); ++t) {
    winning += totals.tier_lines[t];
    out.WriteLine(printed("%-*s  %10llu  %s", width, game.tiers[t].name.c_str(), wide(totals.tier_lines[t]),
                          prize_text(game, t).c_str()));
  }
  out.WriteLine("lines: " + std::to_string(totals.lines) + ", winning: " + std::to_string(winning) +
                ", fixed prizes: " + amount_text(totals.prizes) +
                (totals.every_prize_known ? "" : ", besides the tiers whose prize is not fixed"));
}

void write_draw_text(const DrawsCheck& check, std::size_t d, rt::LineSink& out) {
  const Game& game = check.game;
  out.WriteLine("draw: " + (check.dates[d].empty() ? "" : check.dates[d] + " ") + draw_text(check.draws[d], game));
  for (std::size_t i = 0; i < check.lines.size(); ++i) {
    const DrawResult& result = check.results[d][i];
    std::string verdict;
    if (check.expanded[i] == 1) {
      const LineResult& line = result.lines.front();
      verdict = hits_text(line, game) + " right: " +
                (line.tier ? game.tiers[*line.tier].name + ", prize " + prize_text(game, *line.tier) : "no prize");
    } else {
      verdict = "a system of " + std::to_string(check.expanded[i]) + " lines: " + tier_lines_text(game, result.tier_lines);
    }
    out.WriteLine("line " + std::to_string(i + 1) + ": " + line_text(check.lines[i], game) + ": " + verdict);
  }
  write_totals_text(game, totals_of(check, d), out);
}

nlohmann::json draw_json(const DrawsCheck& check, std::size_t d) {
  const Game& game = check.game;
  nlohmann::json lines = nlohmann::json::array();
  for (std::size_t i = 0; i < check.lines.size(); ++i) {
    const DrawResult& result = check.results[d][i];
    nlohmann::json line = {{"line", i + 1}, {"numbers", line_text(check.lines[i], game)}};
    if (check.expanded[i] == 1) {
      const LineResult& only = result.lines.front();
      line["main"] = only.main;
      if (game.bonus > 0) line["bonus"] = only.bonus;
      if (game.has_second()) line["second"] = only.second;
      line["tier"] = only.tier ? nlohmann::json(game.tiers[*only.tier].name) : nlohmann::json(nullptr);
    } else {
      line["lines"] = check.expanded[i];
      nlohmann::json won = nlohmann::json::array();
      for (std::size_t t = 0; t < game.tiers.size(); ++t) {
        if (result.tier_lines[t] != 0) won.push_back({{"name", game.tiers[t].name}, {"lines", result.tier_lines[t]}});
      }
      line["tiers"] = won;
    }
    lines.push_back(std::move(line));
  }
  const Totals totals = totals_of(check, d);
  nlohmann::json tiers = nlohmann::json::array();
  for (std::size_t t = 0; t < game.tiers.size(); ++t) {
    tiers.push_back({{"name", game.tiers[t].name}, {"lines", totals.tier_lines[t]}});
  }
  nlohmann::json object = {{"draw", draw_text(check.draws[d], game)}, {"lines", lines}, {"tiers", tiers},
                           {"prizes", amount_text(totals.prizes)}, {"every_prize_known", totals.every_prize_known}};
  if (!check.dates[d].empty()) object["date"] = check.dates[d];
  return object;
}

}  // namespace

std::string line_text(const GameLine& line, const Game& game) {
  std::string text = numbers_text(line.main);
  if (game.has_second()) text += " + " + numbers_text(line.second);
  return text;
}

std::string draw_text(const Draw& draw, const Game& game) {
  std::string text = numbers_text(draw.main);
  if (game.bonus > 0) text += " + " + numbers_text(draw.bonus);
  if (game.has_second()) text += " + " + numbers_text(draw.second);
  return text;
}

void write_lines_count_text(const LinesCount& count, rt::LineSink& out) {
  out.WriteLine(game_line(count.game));
  out.WriteLine("lines: " + std::to_string(count.lines) +
                (count.written == count.lines ? "" : " (" + std::to_string(count.written) + " as written)"));
  if (count.cost) out.WriteLine("cost: " + amount_text(*count.cost));
}

void write_lines_count_csv(const LinesCount& count, rt::LineSink& out) {
  out.WriteLine("written,lines,cost");
  out.WriteLine(std::to_string(count.written) + "," + std::to_string(count.lines) + "," +
                (count.cost ? amount_text(*count.cost) : ""));
}

void write_lines_count_json(const LinesCount& count, rt::LineSink& out) {
  nlohmann::json object = {{"game", count.game.name}, {"written", count.written}, {"lines", count.lines}};
  if (count.cost) object["cost"] = amount_text(*count.cost);
  out.WriteLine(object.dump());
}

void write_game_odds_text(const GameOdds& odds, rt::LineSink& out) {
  out.WriteLine(game_line(odds.game));
  out.WriteLine("lines: " + std::to_string(odds.lines));
  if (odds.set) {
    write_tier_table_text(odds.game, *odds.set, out);
  } else {
    out.WriteLine(odds.out_of_reach + "; the odds of one line:");
    write_tier_table_text(odds.game, odds.one_line, out);
  }
  write_expected_text(odds.expected, out);
}

void write_game_odds_csv(const GameOdds& odds, rt::LineSink& out) {
  const TierOdds& shown = odds.set ? *odds.set : odds.one_line;
  out.WriteLine("tier,outcomes,percent,one_in,prize");
  const auto row = [&](const std::string& name, std::uint64_t count, const std::string& prize) {
    const std::string x = count == 0 ? "" : printed("%.2f", static_cast<double>(shown.outcomes) / static_cast<double>(count));
    out.WriteLine(printed("\"%s\",%llu,%.6f,%s,%s", name.c_str(), wide(count), percent(count, shown.outcomes), x.c_str(),
                          prize.c_str()));
  };
  for (std::size_t t = 0; t < odds.game.tiers.size(); ++t) {
    const Tier& tier = odds.game.tiers[t];
    row(tier.name, shown.tiers[t], tier.prize ? amount_text(*tier.prize) : "");
  }
  row(kNoPrize, shown.none, "");
  row(kAnyPrize, any_prize(shown), "");
}

void write_game_odds_json(const GameOdds& odds, rt::LineSink& out) {
  nlohmann::json object = {{"game", odds.game.name}, {"lines", odds.lines}};
  if (odds.set) {
    const nlohmann::json counted = odds_json(odds.game, *odds.set);
    for (const auto& [key, value] : counted.items()) object[key] = value;
  } else {
    object["out_of_reach"] = odds.out_of_reach;
  }
  object["one_line"] = odds_json(odds.game, odds.one_line);
  if (odds.expected.priced != 0) object["expected"] = expected_json(odds.expected);
  out.WriteLine(object.dump());
}

void write_draws_check_text(const DrawsCheck& check, rt::LineSink& out) {
  out.WriteLine(game_line(check.game));
  for (std::size_t d = 0; d < check.draws.size(); ++d) write_draw_text(check, d, out);
  if (check.draws.size() > 1) {
    out.WriteLine("over " + std::to_string(check.draws.size()) + " draws:");
    write_totals_text(check.game, all_totals(check), out);
  }
}

void write_draws_check_csv(const DrawsCheck& check, rt::LineSink& out) {
  const Game& game = check.game;
  out.WriteLine("draw,date,line,main,bonus,second,tier,prize");
  for (std::size_t d = 0; d < check.draws.size(); ++d) {
    for (std::size_t i = 0; i < check.lines.size(); ++i) {
      for (const LineResult& line : check.results[d][i].lines) {
        const std::string tier = line.tier ? "\"" + game.tiers[*line.tier].name + "\"" : "";
        const std::string prize = line.tier && game.tiers[*line.tier].prize ? amount_text(*game.tiers[*line.tier].prize) : "";
        out.WriteLine(printed("%zu,%s,%zu,%d,%d,%d,%s,%s", d + 1, check.dates[d].c_str(), i + 1, line.main, line.bonus,
                              line.second, tier.c_str(), prize.c_str()));
      }
    }
  }
}

void write_draws_check_json(const DrawsCheck& check, rt::LineSink& out) {
  nlohmann::json object = {{"game", check.game.name}};
  if (check.draws.size() == 1) {
    const nlohmann::json one = draw_json(check, 0);
    for (const auto& [key, value] : one.items()) object[key] = value;
  } else {
    nlohmann::json draws = nlohmann::json::array();
    for (std::size_t d = 0; d < check.draws.size(); ++d) draws.push_back(draw_json(check, d));
    const Totals totals = all_totals(check);
    nlohmann::json tiers = nlohmann::json::array();
    for (std::size_t t = 0; t < check.game.tiers.size(); ++t) {
      tiers.push_back({{"name", check.game.tiers[t].name}, {"lines", totals.tier_lines[t]}});
    }
    object["draws"] = draws;
    object["tiers"] = tiers;
    object["prizes"] = amount_text(totals.prizes);
    object["every_prize_known"] = totals.every_prize_known;
  }
  out.WriteLine(object.dump());
}

void write_games_text(std::span<const Game> games, rt::LineSink& out) {
  for (const Game& game : games) {
    out.WriteLine(game.name + "\t" + short_form(game) + "\t" + game.title +
                  (game.rules_from.empty() ? "" : "\trules from " + game.rules_from));
  }
}

}  // namespace rivit
