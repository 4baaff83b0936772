// erilaisetrivit-rivit: the rows that erilaisetrivit keeps, and a check of
// any set of rows.

#include "rivit/command.h"

int main(int argc, char** argv) { return rivit::run_command(argc, argv); }
