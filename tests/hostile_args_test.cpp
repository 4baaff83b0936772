// The real executable started with command lines built to hurt a program
// that copies its arguments: a great many, very long ones, bytes that are not
// UTF-8, and the quoting that Windows' command-line splitting has to undo.
// The program captures them all, never reads them, and frees them at the
// end, so its output and exit status must be those of any complete run.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/complete_run.h"

namespace {

using tests::ExpectCompleteRun;

constexpr char kProgram[] = ERILAISETRIVIT_PATH;

#ifdef _WIN32
// A Windows command line holds at most 32 767 characters, and the runner
// quotes every argument: an empty one costs its two quotes and a space.
constexpr std::size_t kLongestArgument = 32000;
std::string ManyArgumentsEach(int /*index*/) { return ""; }
#else
// Linux takes no single argument of 128 KiB or more (MAX_ARG_STRLEN, the
// terminating NUL included), whatever the total limit.
constexpr std::size_t kLongestArgument = (std::size_t{128} << 10) - 1;
std::string ManyArgumentsEach(int index) { return std::to_string(index); }
#endif

constexpr int kManyArguments = 10000;

void ExpectUnchangedBy(const std::vector<std::string>& arguments) {
  ExpectCompleteRun(tests::RunChild(kProgram, arguments));
}

TEST(HostileArguments, TenThousandArguments) {
  std::vector<std::string> arguments;
  for (int i = 0; i < kManyArguments; ++i) arguments.push_back(ManyArgumentsEach(i));
  ExpectUnchangedBy(arguments);
}

TEST(HostileArguments, TheLongestArgumentTheSystemPasses) {
  ExpectUnchangedBy({std::string(kLongestArgument, 'x')});
  ExpectUnchangedBy({"first", std::string(kLongestArgument, '9'), "last"});
}

#ifndef _WIN32
TEST(HostileArguments, AMebibyteOfArguments) {
  // Eight of the longest that Linux passes, eight bytes short of 1 MiB: as
  // close to one argument of that size as the system allows.
  ExpectUnchangedBy(std::vector<std::string>(8, std::string(kLongestArgument, 'y')));
}

TEST(HostileArguments, BytesThatAreNotUtf8) {
  ExpectUnchangedBy({
      "\xFF",                  // never in UTF-8
      "\xFE\xFF",              // a UTF-16 byte-order mark
      "\x80",                  // a continuation byte alone
      "\xC3",                  // a sequence cut short at the end
      "\xC3(",                 // ... and in the middle
      "\xC0\xAF",              // an overlong '/'
      "\xED\xA0\x80",          // a UTF-16 surrogate
      "\xF4\x90\x80\x80",      // past U+10FFFF
      "\x01\x1B[31m\x7F\x08",  // control bytes and a terminal escape
      "%s%n%x",                // what a careless printf would expand
  });
}
#endif

TEST(HostileArguments, QuotesBackslashesAndSpaces) {
  // On Windows each comes back through the child's own command-line
  // splitting, whose rules for backslashes before a quote are easy to get
  // wrong; elsewhere they pass unchanged.
  ExpectUnchangedBy({
      "two words",
      R"(")",
      R"("quoted")",
      R"(\)",
      R"(trailing backslash\)",
      R"(\\server\share\)",
      R"(\")",
      R"(\\")",
      R"(a\\b c)",
      " leading and trailing ",
      "\t",
      "",
  });
}

}  // namespace
