// fault_probe: the process frame around one small test program, chosen by the
// first argument, so that tests can watch from outside how each way of ending
// a process comes out. The programs:
//   end                  returns from its body
//   halt                 ends through rt::halt
//   throw VALUE          throws VALUE (decimal, or hexadecimal after 0x)
//   report-handler       writes "handler <address>" of the root scope's
//                        handler, then throws 1
//   arguments            writes the captured argument list (see below)
//   image-layout         writes "record" and the five words of the record
//                        that word 12 points at, "loaded" and those words as
//                        read from the system now, and "entry" and the
//                        address of frame::process_entry, one line each
//   runtime-error        raises rt::Error
//   standard-exception   raises a std::exception that is no rt::Error
//   interrupt            raises SIGINT against itself
//   null-write, divide-by-zero, stack-overflow, breakpoint,
//   illegal-instruction, past-mapped-file (Linux),
//   misaligned-load (Linux on x86-64)
//                        first write "code <first> <end>", the bounds of the
//                        probe's own code as the system has loaded it, then
//                        make that fault happen for real
//   raise-signal N, kill-signal N, queue-signal N
//                        (POSIX) write "code <first> <end>" as above, then
//                        send themselves signal number N with raise, kill or
//                        sigqueue, as another process could
//   raise CODE           (Windows) raises the exception CODE, as the system
//                        raises its own, with RaiseException
//   filter CODE, filter-partial CODE
//                        (Windows) calls the unhandled-exception filter as
//                        the system would, for CODE at address 00401234,
//                        with a context of every register group (filter) or
//                        of the basic ones (filter-partial) whose stack and
//                        frame pointers are 0012FF40 and 0012FF80; at exit
//                        writes "fault-frame kept|untouched <sp> <bp>",
//                        whether word 11 points at frame::fault_frame, and
//                        that record's words
// Every program watches the end it takes: should the process exit with the
// argument list still held, the probe says so on standard error and exits
// with 98 instead.
//
// Addresses are written as tests/hex.h writes them. "arguments" writes the
// count of the shared record's word 0, then each string of the list in word 1
// as two hexadecimal digits per byte, one line each, then "null" when
// the entry after the last one is the null pointer.
//
// The faults are written so that neither the compiler nor the sanitizers get
// in their way: volatile operands keep them from being folded away, and the
// sanitizers are switched off where they would report the fault themselves.

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "frame/frame_internal.h"
#include "frame/os.h"
#include "runtime/error.h"
#include "runtime/record.h"
#include "runtime/throw.h"
#include "tests/hex.h"

#define PROBE_FAULT __attribute__((noinline, no_sanitize("address", "undefined")))

namespace {

// Flushed at once: a fault ends the process without flushing anything.
void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Read afresh: start-up has made the record's first word something else.
void say_code_bounds() {
  const frame::ImageLayout layout = frame::os::read_image_layout();
  const std::uintptr_t first = layout.load_address + layout.code_position;
  say("code " + tests::Hex(first) + " " + tests::Hex(first + layout.code_length));
}

volatile int g_sink;
volatile bool g_keep_going = true;

PROBE_FAULT void write_through_null() {
  volatile int* volatile target = nullptr;
  *target = 1;
}

PROBE_FAULT void divide_by_zero() {
  volatile int numerator = 1;
  volatile int zero = 0;
  g_sink = numerator / zero;
}

// Each frame touches its own memory, so the stack grows page by page into
// its guard region rather than jumping over it.
PROBE_FAULT int recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (!g_keep_going) return 0;
  return recurse(depth + 1) + frame[0];
}

PROBE_FAULT void breakpoint() { asm volatile("int3"); }

PROBE_FAULT void illegal_instruction() { asm volatile("ud2"); }

#ifndef _WIN32
// A read from a page of a file mapping that lies wholly past the file's end.
PROBE_FAULT void read_past_mapped_file() {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::FILE* file = std::tmpfile();
  if (file == nullptr || ftruncate(fileno(file), static_cast<off_t>(page)) != 0) return;
  void* mapped = mmap(nullptr, 2 * page, PROT_READ, MAP_SHARED, fileno(file), 0);
  if (mapped == MAP_FAILED) return;
  g_sink = static_cast<volatile const unsigned char*>(mapped)[page];
}
#endif

#if defined(__x86_64__) && !defined(_WIN32)
// With the flags register's alignment check up, a misaligned load faults.
// The flags are pushed below the red zone, which the compiler may be using.
PROBE_FAULT void misaligned_load() {
  alignas(8) static char bytes[16];
  asm volatile(
      "sub $128, %%rsp\n"
      "pushfq\n"
      "orq $0x40000, (%%rsp)\n"
      "popfq\n"
      "movl (%0), %%eax\n"
      "add $128, %%rsp\n"
      :
      : "r"(bytes + 1)
      : "eax", "memory", "cc");
}
#endif

void end(const char*) {}
void halt(const char*) { rt::halt(); }
void throw_value(const char* value) { rt::Throw(static_cast<std::uint32_t>(std::stoul(value, nullptr, 0))); }

void report_handler(const char*) {
  say("handler " + tests::Hex(reinterpret_cast<std::uintptr_t>(&frame::top_level_handler)));  // NOLINT
  rt::Throw(1);
}

void write_arguments(const char*) {
  const auto count = static_cast<std::int32_t>(rt::system[rt::kArgumentCountWord]);
  const auto* list = reinterpret_cast<const char* const*>(rt::system[rt::kArgumentListWord]);  // NOLINT
  say(std::to_string(count));
  for (std::int32_t i = 0; i < count; ++i) say(tests::HexBytes(list[i]));
  if (list[count] == nullptr) say("null");
}

void say_words(const char* name, const rt::Word (&words)[5]) {
  std::string line = name;
  for (const rt::Word word : words) {
    line += ' ';
    line += tests::Hex(word);
  }
  say(line);
}

void image_layout(const char*) {
  rt::Word record[5];
  std::memcpy(record, reinterpret_cast<const void*>(rt::system[rt::kImageLayoutWord]), sizeof record);  // NOLINT
  const frame::ImageLayout loaded = frame::os::read_image_layout();
  say_words("record", record);
  say_words("loaded", {loaded.load_address, loaded.code_position, loaded.code_length, loaded.data_position,
                       loaded.data_length});
  say("entry " + tests::Hex(reinterpret_cast<std::uintptr_t>(&frame::process_entry)));  // NOLINT
}

void runtime_error(const char*) { throw rt::Error("probe: a value the runtime cannot handle"); }
void standard_exception(const char*) { throw std::logic_error("probe: not a runtime error"); }
void interrupt(const char*) { std::raise(SIGINT); }

void null_write(const char*) {
  say_code_bounds();
  write_through_null();
}

void division(const char*) {
  say_code_bounds();
  divide_by_zero();
}

void stack_overflow(const char*) {
  say_code_bounds();
  g_sink = recurse(0);
}

void trap(const char*) {
  say_code_bounds();
  breakpoint();
}

void illegal(const char*) {
  say_code_bounds();
  illegal_instruction();
}

#ifndef _WIN32
int signal_number(const char* number) { return std::stoi(number); }

void raise_signal(const char* number) {
  say_code_bounds();
  std::raise(signal_number(number));
}

void kill_signal(const char* number) {
  say_code_bounds();
  kill(getpid(), signal_number(number));
}

void queue_signal(const char* number) {
  say_code_bounds();
  sigqueue(getpid(), signal_number(number), sigval{});
}

void past_mapped_file(const char*) {
  say_code_bounds();
  read_past_mapped_file();
}
#endif

#if defined(__x86_64__) && !defined(_WIN32)
void misaligned(const char*) {
  say_code_bounds();
  misaligned_load();
}
#endif

#ifdef _WIN32
DWORD exception_code(const char* code) { return static_cast<DWORD>(std::stoul(code, nullptr, 0)); }

void raise_exception(const char* code) { RaiseException(exception_code(code), 0, 0, nullptr); }

void say_fault_frame() {
  const bool kept = rt::system[rt::kFaultFrameWord] == reinterpret_cast<rt::Word>(&frame::fault_frame);  // NOLINT
  say(std::string("fault-frame ") + (kept ? "kept " : "untouched ") + tests::Hex(frame::fault_frame.stack_pointer) + " " +
      tests::Hex(frame::fault_frame.frame_pointer));
}

// Some codes never reach the filter through the system under wine, which
// ends the process itself for them; called directly, the filter shows what it
// does with them.
void call_filter(const char* code, DWORD context_flags) {
  std::atexit(say_fault_frame);
  EXCEPTION_RECORD exception{};
  exception.ExceptionCode = exception_code(code);
  exception.ExceptionAddress = reinterpret_cast<void*>(0x00401234);  // NOLINT
  CONTEXT context{};
  context.ContextFlags = context_flags;
#ifdef _WIN64
  context.Rsp = 0x0012FF40;
  context.Rbp = 0x0012FF80;
#else
  context.Esp = 0x0012FF40;
  context.Ebp = 0x0012FF80;
#endif
  EXCEPTION_POINTERS pointers{&exception, &context};
  const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(filter);
  filter(&pointers);
}

// Every register group and the extended state, as the filter wants it.
#ifdef _WIN64
constexpr DWORD kCompleteContext = 0x0010005F;
#else
constexpr DWORD kCompleteContext = 0x0001007F;
#endif
void filter_complete(const char* code) { call_filter(code, kCompleteContext); }
void filter_partial(const char* code) { call_filter(code, CONTEXT_FULL); }
#endif

// Runs at exit, after every end path that releases the argument list.
void fail_if_arguments_held() {
  if (!frame::holds_arguments()) return;
  std::fputs("fault_probe: the process exits with its argument list still held\n", stderr);
  std::_Exit(98);
}

struct Behaviour {
  const char* name;
  void (*run)(const char* parameter);
};

constexpr Behaviour kBehaviours[] = {
    {"end", end},
    {"halt", halt},
    {"throw", throw_value},
    {"report-handler", report_handler},
    {"arguments", write_arguments},
    {"image-layout", image_layout},
    {"runtime-error", runtime_error},
    {"standard-exception", standard_exception},
    {"interrupt", interrupt},
    {"null-write", null_write},
    {"divide-by-zero", division},
    {"stack-overflow", stack_overflow},
    {"breakpoint", trap},
    {"illegal-instruction", illegal},
#ifndef _WIN32
    {"raise-signal", raise_signal},
    {"kill-signal", kill_signal},
    {"queue-signal", queue_signal},
    {"past-mapped-file", past_mapped_file},
#endif
#if defined(__x86_64__) && !defined(_WIN32)
    {"misaligned-load", misaligned},
#endif
#ifdef _WIN32
    {"raise", raise_exception},
    {"filter", filter_complete},
    {"filter-partial", filter_partial},
#endif
};

class Probe : public frame::Program {
 public:
  Probe(const Behaviour& behaviour, const char* parameter) : behaviour_(behaviour), parameter_(parameter) {}
  rt::LiteralBlock literals() const override { return {}; }
  void TakeLiterals(const rt::Runtime&) override {}
  void Run(rt::Runtime&) override {
    std::atexit(fail_if_arguments_held);
    behaviour_.run(parameter_);
  }

 private:
  const Behaviour& behaviour_;
  const char* parameter_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    for (const Behaviour& behaviour : kBehaviours) {
      if (std::strcmp(argv[1], behaviour.name) != 0) continue;
      Probe probe(behaviour, argc >= 3 ? argv[2] : "");
      frame::process_entry(argc, argv, probe);
    }
  }
  std::fputs("usage: fault_probe PROGRAM [VALUE]\n", stderr);
  return 2;
}
