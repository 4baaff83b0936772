// The operating-system side of the process frame, one implementation per
// platform (frame_posix.cpp, frame_win32.cpp), and what those share with the
// platform-neutral frame.

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

}  // namespace frame::os

#endif  // ERILAISETRIVIT_FRAME_OS_H_
