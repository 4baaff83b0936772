// The operating-system side of the process frame, one implementation per
// platform (frame_posix.cpp, frame_win32.cpp), and what those share with the
// platform-neutral frame. On POSIX systems the signal code is portable, and
// what it asks of the system it runs on comes from one file per system
// (frame_linux.cpp), chosen by the build.

#ifndef ERILAISETRIVIT_FRAME_OS_H_
#define ERILAISETRIVIT_FRAME_OS_H_

#include <cstdint>

#include "frame/frame_internal.h"

namespace frame::os {

// Routes every unhandled processor fault to the fault filter.
void install_fault_filter();
// Keeps the system from asking the user about critical errors.
void set_error_mode();
// Where this executable is loaded.
ImageLayout read_image_layout();
// Runs body(data) so that an exception that nothing inside it handles goes
// on to the fault filter, whatever handlers of the C runtime's start-up code
// stand around main.
void run_guarded(void (*body)(void*), void* data);

#ifndef _WIN32
// The registers that the system saved in a signal handler's context.
struct Registers {
  std::uintptr_t instruction;
  std::uintptr_t stack;
  std::uintptr_t frame;
};
// REQUIRES: `signal_context` is the third argument of an SA_SIGINFO handler.
Registers registers_of(const void* signal_context);
// Whether a signal with this si_code was sent by a process (this one
// included, by raise, kill or sigqueue) rather than raised by the processor:
// such a signal's fault fields, si_addr among them, hold no fault.
bool sent_by_a_process(int signal_code);
// The lowest address of the main thread's stack, or 0 where the system does
// not tell. REQUIRES: called on the main thread.
std::uintptr_t main_stack_lowest();
#endif

}  // namespace frame::os

#endif  // ERILAISETRIVIT_FRAME_OS_H_
