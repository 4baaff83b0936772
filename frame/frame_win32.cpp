// The Windows side of the process frame. Processor faults and every other
// structured exception that nothing handles reach the unhandled-exception
// filter, which ends the process through end_process with the exception's
// error number and the address of the faulting instruction. The command line
// is asked of the system as UTF-16 and kept as UTF-8, whatever the console's
// code page, so the runtime sees the same bytes as on Linux.

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

#include "frame/errors.h"
#include "frame/frame_internal.h"
#include "frame/os.h"
#include "runtime/record.h"

namespace frame {

namespace {

// Every register group of the context and the extended (XSAVE) state: only
// such a complete context is trusted for the stack and frame pointers. The
// x64 context has no separate group for the extended registers, which its
// floating-point group covers.
#ifdef _WIN64
constexpr DWORD kCompleteContextFlags = 0x0010005F;
#else
constexpr DWORD kCompleteContextFlags = 0x0001007F;
#endif

// SEM_FAILCRITICALERRORS: the process, not a message box, gets such errors.
constexpr UINT kFailCriticalErrors = 1;

constexpr UINT kUtf8CodePage = 65001;

void keep_fault_frame(const CONTEXT& context) {
#ifdef _WIN64
  fault_frame = {context.Rsp, context.Rbp};
#else
  fault_frame = {context.Esp, context.Ebp};
#endif
  rt::system[rt::kFaultFrameWord] = reinterpret_cast<rt::Word>(&fault_frame);  // NOLINT
}

[[noreturn]] LONG WINAPI fault_filter(EXCEPTION_POINTERS* pointers) {
  if (pointers->ContextRecord->ContextFlags == kCompleteContextFlags) keep_fault_frame(*pointers->ContextRecord);
  const EXCEPTION_RECORD& exception = *pointers->ExceptionRecord;
  end_process(error_number_for_exception(static_cast<std::uint32_t>(exception.ExceptionCode)),
              reinterpret_cast<std::uintptr_t>(exception.ExceptionAddress));  // NOLINT
}

// A malloc'ed UTF-8 copy of a NUL-terminated UTF-16 argument: the first call
// measures, the NUL included, the second converts. Should the measuring fail,
// the argument is kept as an empty string, never as a block without its NUL.
char* utf8_copy(const wchar_t* argument) {
  const int size = WideCharToMultiByte(kUtf8CodePage, 0, argument, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return static_cast<char*>(std::calloc(1, 1));
  auto* bytes = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
  WideCharToMultiByte(kUtf8CodePage, 0, argument, -1, bytes, size, nullptr, nullptr);
  return bytes;
}

#ifdef _WIN64
// The PE32+ optional header has no BaseOfData: the data begin with the first
// section of initialised data that holds no code.
DWORD data_position(const IMAGE_NT_HEADERS& nt) {
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(&nt);
  for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i, ++section) {  // NOLINT
    if ((section->Characteristics & (IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_CNT_CODE)) ==
        IMAGE_SCN_CNT_INITIALIZED_DATA) {
      return section->VirtualAddress;
    }
  }
  return 0;
}
#else
DWORD data_position(const IMAGE_NT_HEADERS& nt) { return nt.OptionalHeader.BaseOfData; }
#endif

}  // namespace

#ifdef _WIN64
// The 64-bit C runtime calls main inside an exception scope of its own, whose
// filter resumes some codes (a misalignment, an exceeded bound, a float stack
// check, an integer overflow, an invalid handle) as if they had been handled,
// so that a raised one would never reach the unhandled-exception filter. A
// frame of ours between that scope and the program hands every exception that
// nothing in the program handled to the fault filter first. The frame is
// written in assembly because only there can a frame name its own handler.
extern "C" EXCEPTION_DISPOSITION erilaisetrivit_fault_guard(EXCEPTION_RECORD* record, void* /*frame*/,
                                                            CONTEXT* context, void* /*dispatch*/) {
  EXCEPTION_POINTERS pointers{record, context};
  fault_filter(&pointers);
}

// erilaisetrivit_run_guarded(body, data): calls body(data) in that frame.
asm(R"(
    .text
    .globl erilaisetrivit_run_guarded
    .def erilaisetrivit_run_guarded; .scl 2; .type 32; .endef
    .seh_proc erilaisetrivit_run_guarded
    .seh_handler erilaisetrivit_fault_guard, @except
erilaisetrivit_run_guarded:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
    addq $40, %rsp
    ret
    .seh_endproc
)");
extern "C" void erilaisetrivit_run_guarded(void (*body)(void*), void* data);
#endif

namespace os {

void install_fault_filter() { SetUnhandledExceptionFilter(fault_filter); }

void set_error_mode() { SetErrorMode(kFailCriticalErrors); }

#ifdef _WIN64
void run_guarded(void (*body)(void*), void* data) { erilaisetrivit_run_guarded(body, data); }
#else
// The 32-bit C runtime puts no handler of its own around main.
void run_guarded(void (*body)(void*), void* data) { body(data); }
#endif

ImageLayout read_image_layout() {
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));  // NOLINT
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);                     // NOLINT
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);      // NOLINT
  const IMAGE_OPTIONAL_HEADER& optional = nt->OptionalHeader;
  return {reinterpret_cast<rt::Word>(base), optional.BaseOfCode, optional.SizeOfCode,  // NOLINT
          data_position(*nt), optional.SizeOfInitializedData};
}

}  // namespace os

// The arguments are the system's, not argc and argv: those the C runtime
// splits in the ANSI code page, which loses every character outside it.
void capture_arguments(int /*argc*/, char** /*argv*/) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  auto** list = static_cast<char**>(std::malloc((static_cast<std::size_t>(count) + 1) * sizeof(char*)));
  if (wide == nullptr) {
    print_group_line({"CommandLineToArgvW failed!"});
    publish_arguments(list, 0);
    return;
  }
  for (int i = 0; i < count; ++i) list[i] = utf8_copy(wide[i]);
  LocalFree(wide);
  publish_arguments(list, count);
}

}  // namespace frame
