// What the companion asks of the operating system: its arguments and the
// files it opens by name, in UTF-8, and whether standard error is a terminal. On POSIX systems both are the bytes the
// system hands over. On Windows the C runtime's argv and fopen speak the ANSI code page, which has no room for most of
// the world's characters ("Ωμέγα.txt" becomes "O??a.txt"); there the arguments come from the wide command line and
// names are opened by their UTF-16 form, so that any name works whatever the
// code page. One implementation per platform: system_posix.cpp,
// system_win32.cpp.

#ifndef ERILAISETRIVIT_CLI_SYSTEM_H_
#define ERILAISETRIVIT_CLI_SYSTEM_H_

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// The command line, argument 0 first, each argument in UTF-8. `argc` and
// `argv` are main's; Windows reads its own wide command line instead.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// std::fopen of a file named in UTF-8; null, with errno set, on failure.
std::FILE* open_file(const std::string& utf8_name, const char* mode);

// True when standard error is a terminal, where a progress line can be
// rewritten in place.
bool standard_error_is_terminal();

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_SYSTEM_H_
