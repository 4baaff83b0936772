#include "cli/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/command.h"
#include "cli/system.h"

namespace cli {

std::string input_name(const std::string& file) { return file == kStandardInput ? "standard input" : file; }

void read_input_lines(const std::string& file, const std::function<bool(std::string_view)>& take) {
  const bool standard_input = file == kStandardInput;
  std::FILE* const opened = standard_input ? stdin : open_file(file, "rb");
  if (opened == nullptr) throw Failure{"cannot open " + file + ": " + std::strerror(errno), kUsageStatus};
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closed(standard_input ? nullptr : opened, std::fclose);
  std::string line;
  for (int c = 0; c != EOF;) {
    line.clear();
    while ((c = std::getc(opened)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if ((c == EOF && line.empty()) || !take(line)) break;
  }
  if (std::ferror(opened) != 0) {
    throw Failure{"cannot read " + input_name(file) + ": " + std::strerror(errno), kUsageStatus};
  }
}

std::string read_input(const std::string& file) {
  std::string text;
  read_input_lines(file, [&text](std::string_view line) {
    text.append(line).push_back('\n');
    return true;
  });
  return text;
}

}  // namespace cli
