// erilaisetrivit-rivit, the companion command of erilaisetrivit: it prints
// the rows that a run of the search keeps, or the run's report lines, for a
// seed of the user's or one from the operating system; finds rows that share
// as few numbers as possible; checks how many numbers the rows of any list
// share; counts the exact odds of a set of rows over every draw, for any
// lottery of K numbers from N; and finds wheels, the fewest rows of a
// player's pool that keep a guarantee, and checks any rows' guarantee.
//
// Exit statuses: 0 done; 1 a checked guarantee fails; 2 a bad command line,
// a lottery out of range or too large to count, or rows that cannot be read
// or are not rows; 74 standard output refused the output. Every failure
// writes one line on standard error (a bad command line also a hint to
// --help).

#ifndef ERILAISETRIVIT_CLI_COMMAND_H_
#define ERILAISETRIVIT_CLI_COMMAND_H_

namespace cli {

inline constexpr int kUsageStatus = 2;

// The whole command; returns the exit status.
int run_command(int argc, char** argv);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_COMMAND_H_
