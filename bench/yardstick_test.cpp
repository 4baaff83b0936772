// The yardstick is only a fair measure if it makes the product's search: for
// a seed, it must print the very lines the product prints with that seed.

#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "search/driver.h"

namespace {

struct ChildRun {
  std::string output;
  int status = -1;
};

ChildRun RunYardstick(const std::string& arguments) {
  ChildRun run;
  const std::string command = std::string(YARDSTICK_PATH) + " " + arguments;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.output.append(buffer.data(), n);
  const int wait_status = pclose(pipe);
  if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  return run;
}

std::string ProductLines(std::uint64_t seed) {
  std::string lines;
  for (const std::string& line : search::run_search(seed).lines) lines += line + "\n";
  return lines;
}

TEST(Yardstick, PrintsTheProductsLinesForTheSameSeed) {
  for (const std::uint64_t seed : {0ULL, 42ULL, 18446744073709551615ULL}) {
    SCOPED_TRACE(seed);
    const ChildRun run = RunYardstick(std::to_string(seed));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, ProductLines(seed));
  }
}

TEST(Yardstick, SeededFromTheSystemPrintsFivePhaseLines) {
  std::string lines;
  for (int phase = 1; phase <= 5; ++phase) lines += "Vahintaan " + std::to_string(phase) + " saa noin [0-9]+:lla rivilla\n";
  const ChildRun run = RunYardstick("");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::regex_match(run.output, std::regex(lines))) << run.output;
}

}  // namespace
