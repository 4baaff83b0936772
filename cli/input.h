// The command's input files, read a line at a time, so that it stops
// reading at the first bad line even where the input stays open (standard
// input at a terminal).

#ifndef ERILAISETRIVIT_CLI_INPUT_H_
#define ERILAISETRIVIT_CLI_INPUT_H_

#include <functional>
#include <string>
#include <string_view>

namespace cli {

inline constexpr char kStandardInput[] = "-";

// A failure of the command's own, with its exit status: it ends the command
// with one line on standard error.
struct Failure {
  std::string message;
  int status;
};

// "standard input" for kStandardInput, else the file's name, as messages
// name it.
std::string input_name(const std::string& file);

// Hands each line of `file` (kStandardInput: standard input), without its
// line feed, to `take` until it returns false or the input ends. Throws
// Failure when the file cannot be opened or read.
void read_input_lines(const std::string& file, const std::function<bool(std::string_view)>& take);

// The whole of `file`, for a file of a few lines (a game). Throws Failure.
std::string read_input(const std::string& file);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_INPUT_H_
