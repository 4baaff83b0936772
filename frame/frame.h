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
// The operating-system side sits in frame_posix.cpp and frame_win32.cpp.

#ifndef ERILAISETRIVIT_FRAME_FRAME_H_
#define ERILAISETRIVIT_FRAME_FRAME_H_

#include <cstdint>
#include <initializer_list>

#include "runtime/record.h"
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

// Installs the fault filter, sets the error mode, captures the arguments.
void init_process(int argc, char** argv);
// Builds the argument list and publishes it in the shared record's words
// 0 (count), 1 (address) and 2 (cleared).
void capture_arguments(int argc, char** argv);
// Frees every string of the argument list in order, then the list.
void release_arguments();
// True from capture_arguments until release_arguments: every end path but a
// POSIX signal's must have released the list before the process exits.
bool holds_arguments();

// The one exit routine: the report when `status` is not 0, then the
// argument list freed, then exit with `status`.
[[noreturn]] void end_process(std::int32_t status, std::uintptr_t code_address);
// The root catch scope's handler: reads the thrown value from the record.
[[noreturn]] void top_level_handler();

// One item of an output group: a NUL-terminated byte string, a decimal
// integer, one character, or an address written in hexadecimal.
class PrintItem {
 public:
  enum class Kind { kBytes, kDecimal, kCharacter, kAddress };
  PrintItem(const char* bytes) : kind_(Kind::kBytes), bytes_(bytes) {}            // NOLINT
  PrintItem(std::int32_t decimal) : kind_(Kind::kDecimal), decimal_(decimal) {}   // NOLINT
  PrintItem(char character) : kind_(Kind::kCharacter), character_(character) {}  // NOLINT
  static PrintItem Address(std::uintptr_t address);

  void Write() const;

 private:
  PrintItem() = default;
  Kind kind_ = Kind::kBytes;
  const char* bytes_ = "";
  std::int32_t decimal_ = 0;
  std::uintptr_t address_ = 0;
  char character_ = 0;
};

// Writes the items with no separator, then flushes every output stream.
void print_group(std::initializer_list<PrintItem> items);
// print_group, then one line feed, not flushed.
void print_group_line(std::initializer_list<PrintItem> items);

// The stack and frame pointers of the faulting thread, kept by the fault
// filter; word 11 of the shared record points here once it has been filled.
struct FaultFrame {
  rt::Word stack_pointer;
  rt::Word frame_pointer;
};
extern FaultFrame fault_frame;

// Where the executable lies in memory; word 12 of the shared record points
// here from the start.
struct ImageLayout {
  rt::Word load_address;
  rt::Word code_position;
  rt::Word code_length;
  rt::Word data_position;
  rt::Word data_length;
};
extern ImageLayout image_layout;

}  // namespace frame

#endif  // ERILAISETRIVIT_FRAME_FRAME_H_
