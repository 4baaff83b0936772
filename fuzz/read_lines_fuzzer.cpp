// Fuzzes the companion's reader of a game's lines and draws. The first byte
// chooses the game (a built-in one, or one with both a bonus and a second
// drum), the second whether a line may be a system; the rest is the text.
// Whatever the bytes, the reader must give lines of the game, each with its
// line number, and at most one bad line after them, with a printable
// message; anything else is a fault. Each line read, written plainly, must
// read as itself. Where the game has one drum that rows can be read in, the
// lines must be exactly the rows the row reader gives and stop at the same
// line: the row reader is fuzzed against a model of its own. The same text
// read as draws gives draws of the game, each bonus apart from the main
// numbers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/printable.h"
#include "rivit/game_lines.h"
#include "rivit/read.h"

namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "read_lines_fuzzer: %s\n", what);
  std::abort();
}

const std::vector<rivit::Game>& Games() {
  static const std::vector<rivit::Game> kGames = [] {
    std::vector<rivit::Game> games(rivit::built_in_games().begin(), rivit::built_in_games().end());
    games.push_back(*rivit::parse_game("7/40+1+1/30").game);
    return games;
  }();
  return kGames;
}

bool Counts(int count, int wanted, bool system) { return system ? count >= wanted : count == wanted; }

bool Fits(const rivit::GameLine& line, const rivit::Game& game, bool system) {
  const int second = game.has_second() ? game.second.drawn : 0;
  return Counts(line.main.size(), game.line, system) && line.main.largest() <= game.main.numbers &&
         Counts(line.second.size(), second, system) && line.second.largest() <= game.second.numbers;
}

std::string Written(const rivit::GameLine& line) {
  std::string text;
  line.main.for_each([&text](int n) { text += std::to_string(n) + " "; });
  if (!line.second.empty()) text += "+";
  line.second.for_each([&text](int n) { text += " " + std::to_string(n); });
  return text;
}

template <typename Read>
void CheckLineNumbers(const Read& read, std::size_t items) {
  Check(read.line_numbers.size() == items, "an item without its line number");
  for (std::size_t i = 1; i < items; ++i) Check(read.line_numbers[i - 1] < read.line_numbers[i], "lines out of order");
  if (!read.bad) return;
  Check(items == 0 || read.line_numbers.back() < read.bad->line, "the bad line is not after the good ones");
  Check(!read.bad->message.empty() && Printable(read.bad->message), "the message shows a byte that is no character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const rivit::Game& game = Games()[data[0] % Games().size()];
  const bool system = data[1] % 2 == 1;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);  // NOLINT

  const rivit::ReadLines read = rivit::read_lines(text, game, system);
  CheckLineNumbers(read, read.lines.size());
  for (const rivit::GameLine& line : read.lines) {
    Check(Fits(line, game, system), "a line read is no line of the game");
    const rivit::ParsedLine again = rivit::parse_line(Written(line), game, system);
    Check(again.error.empty() && again.line == line, "a line written plainly reads otherwise");
  }

  const rivit::Lottery lottery{game.main.numbers, game.line};
  if (!game.has_second() && !system && rivit::within_limits(lottery)) {
    const rivit::ReadRows rows = rivit::read_rows(text, lottery);
    Check(rows.rows.size() == read.lines.size() && rows.lines == read.line_numbers, "the lines differ from the rows");
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
      Check(rivit::NumberSet::of_row_mask(rivit::mask_of(rows.rows[i])) == read.lines[i].main,
            "a line differs from its row");
    }
    Check(rows.bad.has_value() == read.bad.has_value() && (!rows.bad || rows.bad->line == read.bad->line),
          "the lines stop elsewhere than the rows");
  }

  const rivit::ReadDraws draws = rivit::read_draws(text, game);
  CheckLineNumbers(draws, draws.draws.size());
  Check(draws.dates.size() == draws.draws.size(), "a draw without its date");
  for (const rivit::Draw& draw : draws.draws) {
    Check(draw.main.size() == game.main.drawn && draw.bonus.size() == game.bonus &&
              draw.second.size() == (game.has_second() ? game.second.drawn : 0),
          "a draw read is no draw of the game");
    Check((draw.main & draw.bonus).empty(), "a bonus number is a main number too");
  }
  return 0;
}
