// The POSIX side of the process frame, portable to any POSIX system; what it
// needs to know of the system itself (the registers in a signal's context,
// which signals a process sent, the stack's bounds, the executable's layout) comes from one sibling file
// per system, such as frame_linux.cpp. Processor faults arrive as signals;
// the fault filter turns each into the exception code that the error table
// knows, on a stack of its own so that a stack overflow can be reported too.
// A signal handler may only call async-signal-safe functions, so this filter
// writes the report with write(2) and ends with _exit: no free, no fflush,
// nothing that could hang on a lock that the faulting code held.

#include <signal.h>  // NOLINT(modernize-deprecated-headers): sigaction and siginfo_t are POSIX's
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "frame/errors.h"
#include "frame/frame_internal.h"
#include "frame/os.h"
#include "runtime/record.h"

namespace frame {

namespace {

// Room for the handler and the sanitizers' own work when the stack is full.
constexpr std::size_t kSignalStackSize = 1 << 16;
alignas(16) char g_signal_stack[kSignalStackSize];

// A fault this far below the lowest address of the main thread's stack, or
// just above it, is the stack running into its guard region.
constexpr std::uintptr_t kGuardReach = std::uintptr_t{1} << 20;
std::uintptr_t g_stack_lowest = 0;

// Not an exception code of the table, which gives error number 99.
constexpr std::uint32_t kNoExceptionCode = 0;

bool in_stack_guard(std::uintptr_t address, std::uintptr_t stack_pointer) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  if (g_stack_lowest != 0) {
    return address < g_stack_lowest + page && address + kGuardReach >= g_stack_lowest;
  }
  // Without the stack's bounds: a fault at or just below the stack pointer.
  return address + page >= stack_pointer && address < stack_pointer + page;
}

// A signal that a process sent is no fault of the processor's, whatever its
// number, and its fault fields are not to be read.
std::uint32_t exception_code_for_signal(int signal, const siginfo_t& info, std::uintptr_t stack_pointer) {
  const int code = info.si_code;
  if (os::sent_by_a_process(code)) return kNoExceptionCode;
  switch (signal) {
    case SIGSEGV:
      return in_stack_guard(reinterpret_cast<std::uintptr_t>(info.si_addr), stack_pointer) ? 0xC00000FD
                                                                                          : kAccessViolation;
    case SIGBUS:
      return code == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGTRAP:
      return code == TRAP_TRACE ? 0x80000004 : 0x80000003;
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTINV: return 0xC0000090;
        case FPE_FLTSUB: return 0xC000008C;
        default: return kNoExceptionCode;
      }
    case SIGILL:
      return (code == ILL_PRVOPC || code == ILL_PRVREG) ? 0xC0000096 : 0xC000001D;
    default:
      return kNoExceptionCode;
  }
}

// The kernel leaves the flags register's alignment check as the faulting
// code had it, and with it up the handler's own first misaligned access
// would fault again inside the handler, which ends the process unreported.
void clear_alignment_check() {
#if defined(__x86_64__)
  // Pushed below the red zone, which the compiler may be using.
  asm volatile("sub $128, %%rsp\npushfq\nandq $~0x40000, (%%rsp)\npopfq\nadd $128, %%rsp" : : : "memory", "cc");
#elif defined(__i386__)
  asm volatile("pushfl\nandl $~0x40000, (%%esp)\npopfl" : : : "memory", "cc");
#endif
}

void fault_filter(int signal, siginfo_t* info, void* context) {
  clear_alignment_check();
  const os::Registers registers = os::registers_of(context);
  fault_frame = {registers.stack, registers.frame};
  rt::system[rt::kFaultFrameWord] = reinterpret_cast<rt::Word>(&fault_frame);  // NOLINT
  const std::int32_t error_number =
      error_number_for_exception(exception_code_for_signal(signal, *info, registers.stack));
  write_report(error_number, registers.instruction, /*flush=*/false);
  _exit(error_number);
}

}  // namespace

namespace os {

void install_fault_filter() {
  g_stack_lowest = main_stack_lowest();
  stack_t stack{};
  stack.ss_sp = g_signal_stack;
  stack.ss_size = kSignalStackSize;
  sigaltstack(&stack, nullptr);

  struct sigaction action{};
  action.sa_sigaction = fault_filter;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP}) sigaction(signal, &action, nullptr);
}

// No system dialogue to suppress here.
void set_error_mode() {}

// Signals pass no handler of the C runtime's on their way to the filter.
void run_guarded(void (*body)(void*), void* data) { body(data); }

}  // namespace os

void capture_arguments(int argc, char** argv) {
  const std::int32_t count = argc;
  auto** list = static_cast<char**>(std::malloc((static_cast<std::size_t>(count) + 1) * sizeof(char*)));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::size_t size = std::strlen(argv[i]) + 1;
    list[i] = static_cast<char*>(std::malloc(size));
    std::memcpy(list[i], argv[i], size);
  }
  publish_arguments(list, count);
}

}  // namespace frame
