// The process frame's parts behind process_entry (frame.h): the steps of
// start-up and of the end, the output groups of its messages and of the fatal
// report, and the records that start-up and the fault filter fill. Only the
// frame's own sources use them, and the tests that watch the frame from
// outside; a program needs nothing but frame.h.

#ifndef ERILAISETRIVIT_FRAME_FRAME_INTERNAL_H_
#define ERILAISETRIVIT_FRAME_FRAME_INTERNAL_H_

#include <cstdint>
#include <initializer_list>

#include "frame/frame.h"
#include "runtime/record.h"

namespace frame {

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

// Where the executable lies in memory, positions counted from its load
// address. In the record that start-up fills, which word 12 of the shared
// record points at from the start, load_address is instead the address at
// which process_entry began to run, less code_position.
struct ImageLayout {
  rt::Word load_address;
  rt::Word code_position;
  rt::Word code_length;
  rt::Word data_position;
  rt::Word data_length;
};
extern ImageLayout image_layout;

// Publishes a captured argument list of `count` strings (null-terminated, all
// from malloc) in the shared record and keeps it for release_arguments.
void publish_arguments(char** list, std::int32_t count);

}  // namespace frame

#endif  // ERILAISETRIVIT_FRAME_FRAME_INTERNAL_H_
