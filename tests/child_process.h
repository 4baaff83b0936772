// Runs a real executable in a child process, for tests that must watch a
// program from the outside: the bytes it writes, and how it ends.
//
// RunChild starts `program` with argument 0 set to `program` itself and the
// given arguments after it, each passed as its exact bytes (UTF-8 on Windows,
// where they are converted to UTF-16 and quoted so that the child's argument
// splitting gives them back unchanged). The child sees argc ==
// arguments.size() + 1. It inherits the environment and working directory,
// reads an empty standard input, and has its standard error captured; its
// standard output is captured, closed, or opened onto a file (such as
// /dev/full), as the caller asks. RunChild waits for the child to end and
// returns everything it wrote; it never gives up on a child that hangs.
//
// A child that cannot be started raises std::runtime_error.
//
// Platform implementations: child_process_posix.cpp, child_process_win32.cpp.

#ifndef ERILAISETRIVIT_TESTS_CHILD_PROCESS_H_
#define ERILAISETRIVIT_TESTS_CHILD_PROCESS_H_

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tests {

// Where the child's standard output goes.
struct StandardOutput {
  enum class Kind { kCaptured, kClosed, kFile };
  Kind kind = Kind::kCaptured;
  // For kFile: opened for writing, created if missing, truncated.
  std::string path;

  static StandardOutput Captured() { return {Kind::kCaptured, {}}; }
  static StandardOutput Closed() { return {Kind::kClosed, {}}; }
  static StandardOutput File(std::string file) { return {Kind::kFile, std::move(file)}; }
};

struct ChildResult {
  // Empty unless standard output was captured.
  std::string standard_output;
  std::string standard_error;
  // True when the child ended through exit (its own or the C runtime's);
  // false when the operating system ended it, as by a signal on POSIX.
  bool exited = false;
  // The exit status when `exited`, otherwise the number of the signal.
  int status = 0;
};

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const StandardOutput& output = StandardOutput::Captured());

// How the child ended and what it wrote, for failure messages.
inline std::ostream& operator<<(std::ostream& out, const ChildResult& result) {
  out << (result.exited ? "exited with status " : "ended by signal ") << result.status
      << "\n--- standard output ---\n" << result.standard_output
      << "\n--- standard error ---\n" << result.standard_error;
  return out;
}

}  // namespace tests

#endif  // ERILAISETRIVIT_TESTS_CHILD_PROCESS_H_
