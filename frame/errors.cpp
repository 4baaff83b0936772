#include "frame/errors.h"

#include "frame/frame_internal.h"

namespace frame {

namespace {

struct ExceptionError {
  std::uint32_t code;
  std::int32_t error_number;
};

constexpr ExceptionError kExceptionErrors[] = {
    {0xC0000005, 1},  {0x80000002, 2},  {0x80000003, 3},  {0x80000004, 4},  {0xC000008C, 5},
    {0xC000008D, 6},  {0xC000008E, 7},  {0xC000008F, 8},  {0xC0000090, 9},  {0xC0000091, 10},
    {0xC0000092, 11}, {0xC0000093, 12}, {0xC0000094, 13}, {0xC0000095, 14}, {0xC0000096, 15},
    {0xC0000006, 16}, {0xC000001D, 17}, {0xC0000025, 18}, {0xC00000FD, 19}, {0xC0000026, 20},
    {0x80000001, 21}, {0xC0000008, 22}, {kControlCExit, kNoError},
};

struct ErrorMessage {
  std::int32_t error_number;
  const char* message;
};

constexpr ErrorMessage kErrorMessages[] = {
    {1, "access violation"},
    {2, "invalid alignment"},
    {3, "breakpoint"},
    {4, "single step"},
    {5, "bounds exceeded"},
    {6, "float denormal operan"},
    {7, "float divide by zero"},
    {8, "float inexact result"},
    {9, "float invalid operation"},
    {10, "float overflow"},
    {11, "float stack check"},
    {12, "float underflow"},
    {13, "integer divide by zero"},
    {14, "integer overflow"},
    {15, "privileged instruction"},
    {16, "invalid virtual address"},
    {17, "illegal instruction"},
    {18, "non-continuable exception"},
    {19, "stack error or overflow"},
    {20, "invalid disposition"},
    {21, "guard page"},
    {22, "invalid handle"},
    {23, "illegal operand"},
    {24, "illegal addressing mode"},
    {25, "illegal trap"},
    {26, "coprocessor error"},
    {27, "non-existent physical address"},
    {28, "object specific hardware error"},
    {29, "hardware memory error consumed AR"},
    {30, "hardware memory error consumed AO"},
    {31, "privileged register"},
    {32, "segmentation fault"},
    {33, "FPU error"},
    {34, "Bus error"},
    {95, "no CATCH for THROW"},
    {98, "assertion failed"},
    {99, "unknown error"},
    {100, "no value matched in CASE"},
    {101, "no value matched in SWITCH"},
};

void write_group(std::initializer_list<PrintItem> items, bool flush) {
  if (flush) {
    print_group(items);
    return;
  }
  for (const PrintItem& item : items) item.Write();
}

}  // namespace

std::int32_t error_number_for_exception(std::uint32_t exception_code) {
  for (const ExceptionError& e : kExceptionErrors) {
    if (e.code == exception_code) return e.error_number;
  }
  return kUnknownExceptionError;
}

const char* error_message(std::int32_t error_number) {
  for (const ErrorMessage& e : kErrorMessages) {
    if (e.error_number == error_number) return e.message;
  }
  return "unknown error code!";
}

void write_report(std::int32_t error_number, std::uintptr_t code_address, bool flush) {
  write_group({'\n', "*** Runtime Error ", error_number, ": "}, flush);
  write_group({error_message(error_number)}, flush);
  write_group({'\n', "*** at: ", PrintItem::Address(code_address), "h", '\n'}, flush);
}

}  // namespace frame
