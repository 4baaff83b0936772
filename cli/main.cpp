// erilaisetrivit-rivit: the rows that erilaisetrivit keeps, rows found to
// share as few numbers as possible, wheels, the check and odds of any set of
// rows, and real games' tier odds and draws (cli/command.h).

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/system.h"

// The command sees its arguments in UTF-8 on every system (cli/system.h).
int main(int argc, char** argv) {
  std::vector<std::string> arguments = cli::utf8_arguments(argc, argv);
  std::vector<char*> pointers;
  pointers.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return cli::run_command(static_cast<int>(arguments.size()), pointers.data());
}
