#include "rivit/game_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace rivit {
namespace {

const Game& game_named(std::string_view name) {
  static const std::vector<Game> kGames = [] {
    std::vector<Game> games(built_in_games().begin(), built_in_games().end());
    games.push_back(*parse_game("7/40+1+1/30").game);
    return games;
  }();
  return *std::find_if(kGames.begin(), kGames.end(), [name](const Game& game) { return game.name == name; });
}

NumberSet set_of(std::initializer_list<int> numbers) {
  NumberSet set;
  for (const int n : numbers) set.add(n);
  return set;
}

TEST(GameLines, ReadInEveryFormAndWhatIsWrongIsNamed) {
  const struct {
    const char* game;
    const char* text;
    bool system;
    const char* error;  // empty: reads as the numbers written
  } kCases[] = {
      {"lotto", "1 2 3 4 5 6 40", false, ""},
      {"lotto", " 1,2;3 ,\t4 ;5 6\t40 ", false, ""},
      {"lotto", "1 2 3 4 5 6 7 8", true, ""},
      {"eurojackpot", "5 12 23 34 45 + 3 12", false, ""},
      {"eurojackpot", "5,12,23,34,45,+,5,12", false, ""},
      {"eurojackpot", "5;12;23;34;45+3 9", false, ""},
      {"eurojackpot", "5 12 23 34 45 6 + 3 9 10", true, ""},
      {"superenalotto", "85 86 87 88 89 90", false, ""},
      {"lotto", "1 2 3 4 5 6 7 8", false, "8 numbers, a line has 7"},
      {"lotto", "1 2 3 4 5 6", true, "6 numbers, a system has at least 7"},
      {"lotto", "", false, "0 numbers, a line has 7"},
      {"lotto", "1 2 3 4 5 6 41", false, "41 is not from 1 to 40"},
      {"lotto", "1 2 3 4 5 6 6", false, "6 appears twice"},
      {"lotto", "1 2 3 4 5 6 x\x01", false, R"("x\x01" is not a number)"},
      {"lotto", "1 2 3,,4 5 6 7", false, "a field is empty"},
      {"lotto", "1 2 3 4 5 6 7 + 1", false, "a \"+\" part, Lotto (Finland) has no second drum"},
      {"eurojackpot", "5 12 23 34 45 3 9", false, "no \"+\" part, a line has one, before its second drum's numbers"},
      {"eurojackpot", "5 12 23 34 45 + 3 + 9", false, "2 \"+\" parts, a line has one, before its second drum's numbers"},
      {"eurojackpot", "5 12 23 34 45 + 3", false, "1 number after \"+\", a line has 2"},
      {"eurojackpot", "5 12 23 34 45 + 3", true, "1 number after \"+\", a system has at least 2"},
      {"eurojackpot", "5 12 23 34 45 + 3 13", false, "13 is not from 1 to 12"},
      {"eurojackpot", "+ 3 9", false, "0 numbers, a line has 5"},
  };
  for (const auto& c : kCases) {
    const Game& game = game_named(c.game);
    const ParsedLine parsed = parse_line(c.text, game, c.system);
    EXPECT_EQ(parsed.error, c.error) << c.text;
    if (*c.error != '\0') continue;
    // The numbers written before and after the "+", read apart from the
    // line's reader.
    const auto numbers_in = [](std::string part) {
      std::replace_if(
          part.begin(), part.end(), [](char ch) { return ch == ',' || ch == ';'; }, ' ');
      std::istringstream numbers(part);
      NumberSet set;
      for (int n = 0; numbers >> n;) set.add(n);
      return set;
    };
    const std::string text = c.text;
    const std::size_t plus = text.find('+');
    const GameLine expected{numbers_in(text.substr(0, plus)),
                            plus == std::string::npos ? NumberSet{} : numbers_in(text.substr(plus + 1))};
    EXPECT_EQ(parsed.line, expected) << c.text;
  }
}

// A random line of the game (or system), written in any of the forms.
std::string written(const GameLine& line, std::mt19937& random) {
  static const std::vector<std::string> kBetween = {" ", "\t", ",", ";", " , ", "; ", "\t;"};
  static const std::vector<std::string> kPlus = {" + ", "+", ",+,", "; +", "+\t", " ;+, "};
  const auto pick = [&random](const std::vector<std::string>& choices) {
    return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
  };
  const auto numbers = [&](const NumberSet& set) {
    std::vector<int> shuffled = set.numbers();
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::string text;
    for (const int n : shuffled) text += (text.empty() ? "" : pick(kBetween)) + std::to_string(n);
    return text;
  };
  // Appended, as GCC 12 at -O3 takes a literal added before a temporary
  // string for an overlapping copy.
  std::string text = random() % 2 == 0 ? " " : "";
  text.append(numbers(line.main)).append(line.second.empty() ? std::string() : std::string(pick(kPlus)));
  return text.append(numbers(line.second)).append(random() % 2 == 0 ? "\t" : "");
}

GameLine random_line(const Game& game, bool system, std::mt19937& random) {
  const auto subset = [&random](int numbers, int count) {
    std::vector<int> all(static_cast<std::size_t>(numbers));
    std::iota(all.begin(), all.end(), 1);
    std::shuffle(all.begin(), all.end(), random);
    NumberSet set;
    for (int i = 0; i < count; ++i) set.add(all[static_cast<std::size_t>(i)]);
    return set;
  };
  const int more = system ? static_cast<int>(random() % 3) : 0;
  return {subset(game.main.numbers, game.line + more),
          game.has_second() ? subset(game.second.numbers, game.second.drawn + more) : NumberSet{}};
}

bool fits(const GameLine& line, const Game& game, bool system) {
  const auto counts = [system](int count, int wanted) { return system ? count >= wanted : count == wanted; };
  return counts(line.main.size(), game.line) && line.main.largest() <= game.main.numbers &&
         counts(line.second.size(), game.has_second() ? game.second.drawn : 0) &&
         line.second.largest() <= game.second.numbers;
}

// Lines written at random in every form, among blank lines, comments, a
// header, carriage returns and a byte-order mark, read back as written; and
// then with bytes changed at random, the reader gives lines of the game up
// to a bad line it names, and in a game of one drum exactly what the row
// reader gives.
TEST(GameLines, RandomLinesReadBackAndChangedBytesReadOrNameTheLine) {
  std::mt19937 random(20261210);
  const std::vector<std::string> kSkipped = {"", "  ", "# a comment", "\t#"};
  for (int trial = 0; trial < 2000; ++trial) {
    const Game& game = built_in_games()[random() % built_in_games().size()];
    const bool system = random() % 4 == 0;
    std::string text = random() % 4 == 0 ? "\xEF\xBB\xBF" : "";
    std::vector<GameLine> lines;
    std::vector<std::size_t> line_numbers;
    const std::string end = random() % 2 == 0 ? "\r\n" : "\n";
    bool may_have_header = true;  // the first line that is not skipped may be the header
    for (std::size_t number = 1; lines.size() < 6; ++number) {
      if (random() % 3 == 0) {
        const bool header = may_have_header && random() % 2 == 0;
        may_have_header = may_have_header && !header;
        text += (header ? line_csv_header(game) : kSkipped[random() % kSkipped.size()]) + end;
        continue;
      }
      may_have_header = false;
      lines.push_back(random_line(game, system, random));
      line_numbers.push_back(number);
      text.append(written(lines.back(), random)).append(end);
    }
    const ReadLines read = read_lines(text, game, system);
    ASSERT_FALSE(read.bad) << game.name << ": " << read.bad->message << "\n" << text;
    EXPECT_EQ(read.lines, lines) << text;
    EXPECT_EQ(read.line_numbers, line_numbers) << text;

    for (int changes = 1 + static_cast<int>(random() % 4); changes > 0; --changes) {
      const char kBytes[] = "0123456789 ,;+#\n\r\t-\x80\xFF";
      text[random() % text.size()] =
          random() % 2 == 0 ? kBytes[random() % (sizeof kBytes - 1)] : static_cast<char>(random());
    }
    const ReadLines changed = read_lines(text, game, system);
    ASSERT_EQ(changed.lines.size(), changed.line_numbers.size());
    EXPECT_TRUE(std::is_sorted(changed.line_numbers.begin(), changed.line_numbers.end()));
    for (const GameLine& line : changed.lines) EXPECT_TRUE(fits(line, game, system)) << text;
    if (changed.bad) {
      EXPECT_GT(changed.bad->line, changed.line_numbers.empty() ? 0 : changed.line_numbers.back());
      EXPECT_FALSE(changed.bad->message.empty());
      EXPECT_TRUE(std::none_of(changed.bad->message.begin(), changed.bad->message.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
      })) << changed.bad->message;
    }
    const Lottery lottery{game.main.numbers, game.line};
    if (game.has_second() || system || !within_limits(lottery)) continue;
    const ReadRows rows = read_rows(text, lottery);
    ASSERT_EQ(rows.rows.size(), changed.lines.size()) << text;
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
      EXPECT_EQ(NumberSet::of_row_mask(mask_of(rows.rows[i])), changed.lines[i].main) << text;
    }
    EXPECT_EQ(rows.lines, changed.line_numbers);
    EXPECT_EQ(rows.bad.has_value() ? rows.bad->line : 0, changed.bad.has_value() ? changed.bad->line : 0) << text;
  }
}

TEST(Draws, ReadWithBonusAndSecondDrumAndDate) {
  const struct {
    const char* game;
    const char* text;
    bool dated;
    const char* error;
  } kCases[] = {
      {"lotto", "3 7 12 19 22 31 38 + 5", false, ""},
      {"lotto", "2024-02-29 3 7 12 19 22 31 38 + 5", true, ""},
      {"eurojackpot", "5 12 23 34 45 + 5 12", false, ""},
      {"oz-lotto", "1 2 3 4 5 6 7 + 8 9 10", false, ""},
      {"7/40+1+1/30", "1 2 3 4 5 6 7 + 8 + 30", false, ""},
      {"lotto", "3 7 12 19 22 31 38", false, "no \"+\" part, a draw has 1, before its bonus numbers"},
      {"lotto", "3 7 12 19 22 31 + 5", false, "6 numbers, a draw has 7"},
      {"lotto", "3 7 12 19 22 31 38 + 7", false, "7 appears twice"},
      {"lotto", "3 7 12 19 22 31 38 + 5 6", false, "2 bonus numbers, a draw has 1"},
      {"lotto", "2026-12-05 3 7 12 19 22 31 38 + 5", false, "\"2026-12-05\" is not a number"},
      {"lotto", "2026-02-29 3 7 12 19 22 31 38 + 5", true, "\"2026-02-29\" is not a date (YYYY-MM-DD)"},
      {"lotto", "12-05 3 7 12 19 22 31 38 + 5", true, "\"12-05\" is not a date (YYYY-MM-DD)"},
      {"eurojackpot", "5 12 23 34 45 + 3", false, "1 number after \"+\", a draw has 2"},
      {"7/40+1+1/30", "1 2 3 4 5 6 7 + 8 + 31", false, "31 is not from 1 to 30"},
      {"7/40+1+1/30", "1 2 3 4 5 6 7 + 8 + 1 2", false, "2 numbers after the last \"+\", a draw has 1"},
      {"7/40+1+1/30", "1 2 3 4 5 6 7 + 30", false, "1 \"+\" part, a draw has 2, before the bonus and the second drum's numbers"},
  };
  for (const auto& c : kCases) {
    const ParsedDraw parsed = parse_draw(c.text, game_named(c.game), c.dated);
    EXPECT_EQ(parsed.error, c.error) << c.text;
  }
  const ParsedDraw lotto = parse_draw("2024-02-29 3 7 12 19 22 31 38 + 5", game_named("lotto"), true);
  EXPECT_EQ(lotto.draw, (Draw{set_of({3, 7, 12, 19, 22, 31, 38}), set_of({5}), {}}));
  EXPECT_EQ(lotto.date, "2024-02-29");
  EXPECT_EQ(parse_draw("1 2 3 4 5 6 7 + 8 + 30", game_named("7/40+1+1/30")).draw,
            (Draw{set_of({1, 2, 3, 4, 5, 6, 7}), set_of({8}), set_of({30})}));

  const ReadDraws read = read_draws(
      "\xEF\xBB\xBF"
      "date,n1,n2,n3,n4,n5,+,s1,s2\r\n# week 1\n2026-03-06 1 2 3 4 5 + 1 2\n\n6 7 8 9 10 + 3 4\n"
      "2026-03-13 1 2 3 4 + 1 2\n1 2 3 4 5 + 1 2\n",
      game_named("eurojackpot"));
  EXPECT_EQ(read.dates, (std::vector<std::string>{"2026-03-06", ""}));
  EXPECT_EQ(read.line_numbers, (std::vector<std::size_t>{3, 5}));
  EXPECT_EQ(read.draws.back(), (Draw{set_of({6, 7, 8, 9, 10}), {}, set_of({3, 4})}));
  EXPECT_EQ(read.bad, (BadLine{6, "4 numbers, a draw has 5"}));
}

// Lines against a draw, their tiers and prizes counted by hand.
TEST(Draws, CheckedLinesWinTheirTiersAndFixedPrizes) {
  const Game& powerball = game_named("powerball");
  const Draw draw = parse_draw("1 2 3 4 5 + 6", powerball).draw;
  std::vector<GameLine> lines;
  for (const char* text :
       {"1 2 3 4 10 + 6", "1 2 3 4 10 + 7", "10 11 12 13 14 + 6", "1 10 11 12 13 + 7", "1 2 3 69 10 + 7"}) {
    lines.push_back(parse_line(text, powerball).line);
  }
  const DrawResult result = check_draw(lines, draw, powerball);
  EXPECT_EQ(result.tier_lines, (std::vector<std::uint64_t>{0, 0, 1, 1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(result.prizes, 50'000'00 + 100'00 + 7'00 + 4'00);
  EXPECT_TRUE(result.every_prize_known);
  EXPECT_EQ(result.lines[3].tier, std::nullopt);
  EXPECT_EQ((std::vector<int>{result.lines[2].main, result.lines[2].second}), (std::vector<int>{0, 1}));
  lines.push_back(parse_line("5 4 3 2 1 + 6", powerball).line);
  EXPECT_FALSE(check_draw(lines, draw, powerball).every_prize_known);

  // Lotto's extra number counts only for 6+1 and 3+1.
  const Game& lotto = game_named("lotto");
  const Draw lotto_draw = parse_draw("1 2 3 4 5 6 7 + 8", lotto).draw;
  for (const auto& [text, tier] :
       {std::pair{"1 2 3 4 5 6 8", "6+1"}, std::pair{"1 2 3 9 10 11 8", "3+1"}, std::pair{"1 2 3 4 9 10 8", "4"}}) {
    const LineResult won = result_of(parse_line(text, lotto).line, lotto_draw, lotto);
    ASSERT_TRUE(won.tier) << text;
    EXPECT_EQ(lotto.tiers[*won.tier].name, tier);
  }
}

// The lines of a system, against a plain enumeration: every subset of the
// system's numbers by bit mask, those of the line's size, sorted.
std::vector<NumberSet> subsets_of(const NumberSet& set, int size) {
  const std::vector<int> numbers = set.numbers();
  std::vector<NumberSet> subsets;
  for (unsigned mask = 0; mask < (1U << numbers.size()); ++mask) {
    if (std::popcount(mask) != size) continue;
    NumberSet subset;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      if ((mask >> i & 1U) != 0) subset.add(numbers[i]);
    }
    subsets.push_back(subset);
  }
  std::sort(subsets.begin(), subsets.end(),
            [](const NumberSet& a, const NumberSet& b) { return a.lexicographically_before(b); });
  return subsets;
}

TEST(Systems, StandForEveryLineInOrder) {
  std::mt19937 random(20261211);
  for (int trial = 0; trial < 200; ++trial) {
    const Game& game = built_in_games()[random() % built_in_games().size()];
    const GameLine system = random_line(game, true, random);
    std::vector<GameLine> expected;
    for (const NumberSet main : subsets_of(system.main, game.line)) {
      for (const NumberSet second : subsets_of(system.second, game.has_second() ? game.second.drawn : 0)) {
        expected.push_back({main, second});
      }
    }
    EXPECT_EQ(expand_system(system, game), expected) << game.name;
    EXPECT_EQ(system_lines(system, game), expected.size()) << game.name;
  }
}

TEST(Systems, AsTheOperatorsCountAndPriceThem) {
  // Veikkaus: systems of 8 to 18 numbers.
  const std::uint64_t kFinnish[] = {8, 36, 120, 330, 792, 1716, 3432, 6435, 11440, 19448, 31824};
  for (int n = 8; n <= 18; ++n) {
    EXPECT_EQ(system_lines({NumberSet::first(n), {}}, game_named("lotto")), kFinnish[n - 8]);
  }
  // FDJ: EuroMillions 6 numbers and 2 stars cost €15, 5 numbers and 3 stars €7.50.
  const Game& euromillions = game_named("euromillions");
  const auto cost = [&euromillions](int numbers, int stars) {
    return static_cast<Cents>(system_lines({NumberSet::first(numbers), NumberSet::first(stars)}, euromillions)) *
           *euromillions.price;
  };
  EXPECT_EQ(cost(6, 2), 15'00);
  EXPECT_EQ(cost(5, 3), 7'50);

  // Saturday Lotto's system 10 with 4 winning numbers and a supplementary:
  // 15 × Division 4, 40 × Division 5 and (as Division 6 is now) 40 × Division 6.
  const Game& saturday = game_named("saturday-lotto");
  const ParsedLine ten = parse_line("1 2 3 4 5 6 7 8 9 10", saturday, true);
  const Draw four = parse_draw("1 2 3 4 20 21 + 5 30", saturday).draw;
  EXPECT_EQ(check_draw(expand_system(ten.line, saturday), four, saturday).tier_lines,
            (std::vector<std::uint64_t>{0, 0, 0, 15, 40, 40}));
  // Lotterywest's system 7: four Division 5 prizes, nothing else now.
  const ParsedLine seven = parse_line("1 2 3 4 5 6 7", saturday, true);
  const Draw three = parse_draw("1 2 3 10 11 12 + 6 7", saturday).draw;
  EXPECT_EQ(check_draw(expand_system(seven.line, saturday), three, saturday).tier_lines,
            (std::vector<std::uint64_t>{0, 0, 0, 0, 4, 0}));

  const Game& lotto = game_named("lotto");
  const GameLine eighteen{NumberSet::first(18), {}};
  EXPECT_EQ(system_problem(std::vector<GameLine>(31, eighteen), lotto), std::nullopt);
  EXPECT_EQ(system_problem(std::vector<GameLine>(32, eighteen), lotto),
            "the systems stand for 1 018 368 lines: at most 1 000 000");
  EXPECT_EQ(system_problem(std::vector<GameLine>{{NumberSet::first(40), {}}}, lotto),
            "a system of 18 643 560 lines: at most 1 000 000");
  const Game wide = *parse_game("10/128 20").game;
  EXPECT_EQ(system_problem(std::vector<GameLine>{{NumberSet::first(128), {}}}, wide),
            "a system of 18 446 744 073 709 551 615 or more lines: at most 1 000 000");
}

}  // namespace
}  // namespace rivit
