#include "frame/frame.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "frame/errors.h"
#include "frame/frame_internal.h"
#include "frame/os.h"
#include "runtime/error.h"
#include "runtime/output.h"
#include "runtime/throw.h"

namespace frame {

FaultFrame fault_frame;
ImageLayout image_layout;

namespace {

// The argument list as captured, for release_arguments alone.
char** g_argument_list = nullptr;

// All six exceptions masked, 64-bit extended precision, rounding to nearest.
constexpr std::uint16_t kFpuControlWord = 0x037F;

void reset_fpu() {
#if defined(__i386__) || defined(__x86_64__)
  asm volatile("fninit");
#endif
}

void load_fpu_control_word() {
#if defined(__i386__) || defined(__x86_64__)
  const std::uint16_t word = kFpuControlWord;
  asm volatile("fldcw %0" : : "m"(word));
#endif
}

// The address of the instruction after this one, as the processor has it.
[[gnu::always_inline]] inline std::uintptr_t instruction_address() {
  std::uintptr_t address = 0;
#if defined(__x86_64__)
  asm volatile("lea 0(%%rip), %0" : "=r"(address));
#elif defined(__i386__)
  asm volatile("call 1f\n1: pop %0" : "=r"(address));
#elif defined(__aarch64__)
  asm volatile("adr %0, ." : "=r"(address));
#else
  address = reinterpret_cast<std::uintptr_t>(&process_entry);  // NOLINT
#endif
  return address;
}

// Word 12 points at where the executable lies, with the first word made the
// address at which process_entry ran, less the code position: the load
// address of the code as seen from where it actually ran.
void record_image_layout(std::uintptr_t entry_address) {
  image_layout = os::read_image_layout();
  image_layout.load_address = entry_address - image_layout.code_position;
  rt::system[rt::kImageLayoutWord] = reinterpret_cast<rt::Word>(&image_layout);  // NOLINT
}

[[noreturn]] void release_and_exit(int status) {
  release_arguments();
  std::exit(status);
}

// A runtime error that nothing took: one line, then its own status.
[[noreturn]] void end_with_error(const char* message, int status) {
  print_group_line({"erilaisetrivit: ", message});
  release_and_exit(status);
}

void start_runtime(rt::Runtime& runtime, Program& program) {
  runtime.Start();
  static rt::LiteralBlock block;
  block = program.literals();
  rt::system[rt::kLiteralBlockWord] = reinterpret_cast<rt::Word>(&block);  // NOLINT
  runtime.Boot(*reinterpret_cast<const rt::LiteralBlock*>(rt::system[rt::kLiteralBlockWord]),  // NOLINT
               [&program](const rt::Runtime& booted) { program.TakeLiterals(booted); });
}

// Everything from the root catch scope on: the runtime, then the program.
void run_in_root_scope(void* program_address) {
  Program& program = *static_cast<Program*>(program_address);
  try {
    rt::Catch(
        rt::kCatchEverything,
        [&program] {
          // Static, so that it lives on while exit() runs.
          static rt::Runtime runtime;
          start_runtime(runtime, program);
          runtime.set_script_args(rt::Runtime::CommandLine());
          runtime.extract_boot_args();
          program.Run(runtime);
        },
        top_level_handler);
  } catch (const rt::Error& error) {
    end_with_error(error.what(), error.status());
  } catch (const std::exception& error) {
    end_with_error(error.what(), rt::kRuntimeErrorStatus);
  }
}

}  // namespace

void process_entry(int argc, char** argv, Program& program) {
  const std::uintptr_t entry_address = instruction_address();
  reset_fpu();
  rt::SetBinaryOutput();
  record_image_layout(entry_address);
  init_process(argc, argv);
  load_fpu_control_word();
  os::run_guarded(run_in_root_scope, &program);
  end_process(0, 0);
}

void init_process(int argc, char** argv) {
  os::install_fault_filter();
  os::set_error_mode();
  capture_arguments(argc, argv);
}

void publish_arguments(char** list, std::int32_t count) {
  list[count] = nullptr;
  rt::system[rt::kArgumentListWord] = reinterpret_cast<rt::Word>(list);  // NOLINT
  rt::system[rt::kArgumentCountWord] = static_cast<rt::Word>(count);
  rt::system[rt::kClearedWord] = 0;
  g_argument_list = list;
}

void release_arguments() {
  if (g_argument_list == nullptr) return;
  for (char** entry = g_argument_list; *entry != nullptr; ++entry) std::free(*entry);
  std::free(g_argument_list);
  g_argument_list = nullptr;
}

bool holds_arguments() { return g_argument_list != nullptr; }

void end_process(std::int32_t status, std::uintptr_t code_address) {
  if (status != kNoError) write_report(status, code_address, /*flush=*/true);
  release_and_exit(status);
}

void top_level_handler() {
  if (rt::system[rt::kThrownValueWord] == rt::kQuitMarker) end_process(kNoError, 0);
  end_process(kUncaughtThrowError, reinterpret_cast<std::uintptr_t>(&top_level_handler));  // NOLINT
}

PrintItem PrintItem::Address(std::uintptr_t address) {
  PrintItem item;
  item.kind_ = Kind::kAddress;
  item.address_ = address;
  return item;
}

void PrintItem::Write() const {
  switch (kind_) {
    case Kind::kBytes:
      rt::WriteBytes(bytes_);
      break;
    case Kind::kDecimal:
      rt::WriteDecimal(decimal_);
      break;
    case Kind::kCharacter:
      rt::WriteBytes({&character_, 1});
      break;
    case Kind::kAddress:
      rt::WriteHex(address_);
      break;
  }
}

void print_group(std::initializer_list<PrintItem> items) {
  for (const PrintItem& item : items) item.Write();
  std::fflush(nullptr);
}

void print_group_line(std::initializer_list<PrintItem> items) {
  print_group(items);
  rt::WriteBytes("\n");
}

}  // namespace frame
