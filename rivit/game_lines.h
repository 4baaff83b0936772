// A game's lines and draws as text, systems, and what a draw gave.
//
// A line is its main numbers, then "+", then its second-drum numbers:
// "3 11 24 38 45 + 2 9"; a game without a second drum has no "+" part. The
// numbers are separated as rows are (read.h: spaces or tabs, at most one
// comma or semicolon between two), and every form that reads as rows reads
// as lines. A "+" stands apart with or without blanks around it, and in
// place of a number in CSV: "3 11+2 9", "3,11,+,2,9". A draw is written the same way, with the bonus numbers after
// the first "+" where the game has them, and the second drum's after the
// last: "3 7 12 19 22 31 38 + 5" (Lotto and its extra number),
// "5 12 23 34 45 + 3 9" (Eurojackpot). A file of draws holds one a line,
// optionally after an ISO date: "2026-12-05 3 7 12 19 22 31 38 + 5".
//
// A system is a line holding more numbers than the game's line, in either
// drum; it stands for every line it contains: 10 numbers of Lotto are
// C(10, 7) = 120 lines.

#ifndef ERILAISETRIVIT_RIVIT_GAME_LINES_H_
#define ERILAISETRIVIT_RIVIT_GAME_LINES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rivit/game.h"
#include "rivit/read.h"

namespace rivit {

// The most lines a system may stand for.
inline constexpr std::uint64_t kMostSystemLines = 1000000;

// What is wrong with one line of text as a line of `game`, or nothing.
// `system`: the line may hold more numbers than a line, in either drum.
struct ParsedLine {
  GameLine line;
  std::string error;  // "8 numbers, a line has 7", "a \"+\" part, Lotto has no second drum"
};
ParsedLine parse_line(std::string_view text, const Game& game, bool system = false);

struct ReadLines {
  std::vector<GameLine> lines;            // as written: a system stays one line here
  std::vector<std::size_t> line_numbers;  // of each, counted from 1 over every line of the text
  std::optional<BadLine> bad;             // the first line that is not a line of the game
};

// Reads lines a line of text at a time, skipping blank lines, "#" comments,
// a byte-order mark and the CSV header as read.h does, and stopping at the
// first bad line.
class LinesReader {
 public:
  // REQUIRES: !game_problem(game); `game` outlives the reader.
  LinesReader(const Game& game, bool system);
  // Takes the next line of text, without its line feed; false once a line
  // was bad, after which it takes no more.
  bool take(std::string_view text);
  const ReadLines& read() const { return read_; }

 private:
  const Game* game_;
  bool system_;
  LineFilter filter_;
  ReadLines read_;
  Fields fields_;
};

ReadLines read_lines(std::string_view text, const Game& game, bool system = false);

// The header of a CSV of the game's lines, which reading skips:
// "n1,...,n7", and for a second drum "n1,...,n5,+,s1,s2".
std::string line_csv_header(const Game& game);
// And of a file of its draws: "date,n1,...,n7,+,b1" (Lotto),
// "date,n1,...,n5,+,s1,s2" (Eurojackpot).
std::string draw_csv_header(const Game& game);

// How many lines a system stands for: C(main, line)·C(second, k), or
// UINT64_MAX where that is more.
std::uint64_t system_lines(const GameLine& system, const Game& game);
// Every line that `system` stands for, in increasing order of the main
// numbers, then of the second: the main numbers' combinations as their
// numbers written ascending sort ({1,2,3} < {1,2,4} < {1,3,4}), and for
// each, every combination of the second drum's the same way.
// REQUIRES: system_lines <= kMostSystemLines.
std::vector<GameLine> expand_system(const GameLine& system, const Game& game);
// Why `lines` as systems are too many to expand ("a system of 3 432 000
// lines: at most 1 000 000"), or nothing.
std::optional<std::string> system_problem(std::span<const GameLine> systems, const Game& game);

// A draw of the game: exactly main.drawn numbers, `bonus` bonus numbers
// that are none of them, second.drawn of the second drum (which may be
// numbers of the main draw too). `dated`: the draw may begin with its ISO
// date; a first field with a "-" inside is taken for one, and must be a day
// of the calendar.
struct ParsedDraw {
  Draw draw;
  std::string date;  // "2026-12-05", or empty
  std::string error;
};
ParsedDraw parse_draw(std::string_view text, const Game& game, bool dated = false);

// Reads draws a line of text at a time, each optionally dated, skipping
// what LinesReader skips (with the draws' CSV header), up to the first bad
// line.
struct ReadDraws {
  std::vector<Draw> draws;
  std::vector<std::string> dates;  // of each draw, empty where not given
  std::vector<std::size_t> line_numbers;
  std::optional<BadLine> bad;
};
ReadDraws read_draws(std::string_view text, const Game& game);

// One line against one draw. REQUIRES: `line` is a line of the game, not a
// system.
struct LineResult {
  int main = 0;  // hits
  int bonus = 0;
  int second = 0;
  std::optional<std::size_t> tier;  // the tier it wins, or nothing
};
LineResult result_of(const GameLine& line, const Draw& draw, const Game& game);

// Lines against one draw: each line's result, how many lines won each tier,
// and the fixed prizes won.
struct DrawResult {
  std::vector<LineResult> lines;
  std::vector<std::uint64_t> tier_lines;  // lines that won each tier
  Cents prizes = 0;                       // the fixed prizes, summed
  bool every_prize_known = true;          // false: a tier won has no fixed prize
};
DrawResult check_draw(std::span<const GameLine> lines, const Draw& draw, const Game& game);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_GAME_LINES_H_
