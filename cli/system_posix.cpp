#include <unistd.h>

#include "cli/system.h"

namespace cli {

std::vector<std::string> utf8_arguments(int argc, char** argv) { return {argv, argv + argc}; }

std::FILE* open_file(const std::string& utf8_name, const char* mode) { return std::fopen(utf8_name.c_str(), mode); }

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace cli
