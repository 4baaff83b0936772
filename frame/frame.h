// The process frame: the first and the last code that runs. process_entry
// prepares the floating-point unit and the operating-system side of the
// process, captures the command line as a list of UTF-8 strings, starts the
// value runtime inside a root catch scope, runs a program, and ends the
// process. Every end goes through end_process, which writes the fatal report
// for a non-zero error number, frees the argument list and exits:
//   - the normal end, with status 0;
//   - a throw that reaches the root scope: status 0 for the quit marker,
//     otherwise the report for error number 95 ("no CATCH for THROW");
//   - an operating-system exception that nothing handles, which fault_filter
//     maps to an error number (see errors.h).
// A runtime error (rt::Error) that reaches the root scope is written as one
// line on standard error and ends the process with the error's own status.
//
// The frame's own parts, shared by its sources and by the tests that watch
// it from outside, are in frame_internal.h.

#ifndef ERILAISETRIVIT_FRAME_FRAME_H_
#define ERILAISETRIVIT_FRAME_FRAME_H_

#include "runtime/runtime.h"

namespace frame {

// What process_entry runs: a program with its literal block.
class Program {
 public:
  virtual ~Program() = default;
  // Loaded into the runtime at start-up.
  virtual rt::LiteralBlock literals() const = 0;
  // Called once while the runtime's boot flag is up: the program fetches the
  // literals it keeps.
  virtual void TakeLiterals(const rt::Runtime& runtime) = 0;
  // The program's body. Ends with rt::halt(), or returns for the same end.
  virtual void Run(rt::Runtime& runtime) = 0;
};

// The start-up sequence, then `program`, then the end. On Linux the command
// line comes from argc and argv; the Windows program asks the system for it.
[[noreturn]] void process_entry(int argc, char** argv, Program& program);

}  // namespace frame

#endif  // ERILAISETRIVIT_FRAME_FRAME_H_
