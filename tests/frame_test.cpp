// The process frame watched from outside: each test runs the fault probe
// (fault_probe.cpp) in a child process and checks what it wrote and
// how it ended.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/hex.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace frame {
namespace {

using tests::ChildResult;

constexpr char kProbe[] = FAULT_PROBE_PATH;

// An address in the report has one digit per four bits of a pointer.
constexpr std::size_t kAddressDigits = sizeof(void*) * 2;

// How far into the root handler its report may point, and into
// process_entry the instruction that start-up takes its address from.
constexpr std::uintptr_t kHandlerReach = 512;
constexpr std::uintptr_t kEntryReach = 256;

ChildResult RunProbe(const std::vector<std::string>& arguments) { return tests::RunChild(kProbe, arguments); }

// Whether `text` is, byte for byte, the report for `error_number` with
// `message` and some address; that address goes to *address.
::testing::AssertionResult IsReport(const std::string& text, int error_number, const std::string& message,
                                    std::uintptr_t* address) {
  const std::string head = "\n*** Runtime Error " + std::to_string(error_number) + ": " + message + "\n*** at: ";
  const std::string tail = "h\n";
  const bool framed = text.size() == head.size() + kAddressDigits + tail.size() && text.starts_with(head) &&
                      text.ends_with(tail);
  const std::string digits = framed ? text.substr(head.size(), kAddressDigits) : "";
  if (!framed || digits.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
    return ::testing::AssertionFailure() << "not the report for " << error_number << " (" << message << ")";
  }
  *address = static_cast<std::uintptr_t>(std::stoull(digits, nullptr, 16));
  return ::testing::AssertionSuccess();
}

// The addresses of the line "<word> <hex>..." that the probe wrote.
std::vector<std::uintptr_t> AddressesSaid(const std::string& output, const std::string& word) {
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string said;
    if (!(in >> said) || said != word) continue;
    std::vector<std::uintptr_t> addresses;
    for (std::uintptr_t address = 0; in >> std::hex >> address;) addresses.push_back(address);
    return addresses;
  }
  ADD_FAILURE() << "no line \"" << word << " ...\" in:\n" << output;
  return {};
}

void ExpectQuietEnd(const std::vector<std::string>& arguments) {
  SCOPED_TRACE(arguments.back());
  const ChildResult result = RunProbe(arguments);
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, 0) << result;
  EXPECT_EQ(result.standard_output, "");
  EXPECT_EQ(result.standard_error, "");
}

TEST(FrameEnd, NormalEndWritesNothingAndExitsZero) {
  ExpectQuietEnd({"end"});
  ExpectQuietEnd({"halt"});
}

TEST(FrameEnd, QuitMarkerThrowWritesNothingAndExitsZero) {
  ExpectQuietEnd({"throw", "0x0BADCAFE"});
  ExpectQuietEnd({"throw", "195939070"});
}

TEST(FrameEnd, AnyOtherThrowIsReportedAsNinetyFive) {
  // The quit marker's neighbours, and values whose sign would matter if the
  // root scope compared them as signed numbers.
  for (const char* value : {"0", "1", "0x0BADCAFD", "0x0BADCAFF", "0x7FFFFFFF", "0x80000000", "0xFFFFFFFF"}) {
    SCOPED_TRACE(value);
    const ChildResult result = RunProbe({"throw", value});
    EXPECT_TRUE(result.exited) << result;
    EXPECT_EQ(result.status, 95) << result;
    EXPECT_EQ(result.standard_output, "");
    std::uintptr_t address = 0;
    EXPECT_TRUE(IsReport(result.standard_error, 95, "no CATCH for THROW", &address)) << result;
  }
}

TEST(FrameEnd, UncaughtThrowReportsAnAddressInTheRootHandler) {
  const ChildResult result = RunProbe({"report-handler"});
  ASSERT_EQ(result.status, 95) << result;
  std::uintptr_t address = 0;
  ASSERT_TRUE(IsReport(result.standard_error, 95, "no CATCH for THROW", &address)) << result;
  const std::vector<std::uintptr_t> handler = AddressesSaid(result.standard_output, "handler");
  ASSERT_EQ(handler.size(), 1u);
  EXPECT_GE(address, handler[0]);
  EXPECT_LT(address, handler[0] + kHandlerReach);
}

// The record keeps where the executable lies, but its first word is where
// process_entry began to run, less the code position.
TEST(FrameStartUp, ImageLayoutRecordStartsWithTheEntryLessTheCodePosition) {
  const ChildResult result = RunProbe({"image-layout"});
  ASSERT_EQ(result.status, 0) << result;
  const std::vector<std::uintptr_t> record = AddressesSaid(result.standard_output, "record");
  const std::vector<std::uintptr_t> loaded = AddressesSaid(result.standard_output, "loaded");
  const std::vector<std::uintptr_t> entry = AddressesSaid(result.standard_output, "entry");
  ASSERT_EQ(record.size(), 5u) << result;
  ASSERT_EQ(loaded.size(), 5u) << result;
  ASSERT_EQ(entry.size(), 1u) << result;
  EXPECT_EQ(std::vector(record.begin() + 1, record.end()), std::vector(loaded.begin() + 1, loaded.end())) << result;
  EXPECT_NE(loaded[2], 0u) << result;
  const std::uintptr_t ran_at = record[0] + record[1];
  EXPECT_GE(ran_at, entry[0]) << result;
  EXPECT_LT(ran_at, entry[0] + kEntryReach) << result;
}

TEST(FrameRuntimeError, ReachesTheRootAsOneLineAndStatusSeventy) {
  for (const char* program : {"runtime-error", "standard-exception"}) {
    SCOPED_TRACE(program);
    const ChildResult result = RunProbe({program});
    EXPECT_TRUE(result.exited) << result;
    EXPECT_EQ(result.status, 70) << result;
    EXPECT_EQ(result.standard_output, "");
    const std::string& line = result.standard_error;
    EXPECT_TRUE(line.ends_with("\n") && line.find('\n') == line.size() - 1) << result;
    EXPECT_NE(line.find("probe: "), std::string::npos) << result;
  }
}

TEST(FrameArguments, EachArgumentIsCapturedAsItsBytes) {
  const std::vector<std::vector<std::string>> cases = {
      {"arguments"},
      {"arguments", "", "äöå", "€uro", "\xF0\x9F\x98\x80", "", "two words", "quote\"d", "back\\slash\\",
       "tab\there", ""},
  };
  for (const std::vector<std::string>& arguments : cases) {
    SCOPED_TRACE(arguments.size());
    const ChildResult result = RunProbe(arguments);
    ASSERT_EQ(result.status, 0) << result;
    std::string expected = std::to_string(arguments.size() + 1) + "\n" + tests::HexBytes(kProbe) + "\n";
    for (const std::string& argument : arguments) expected += tests::HexBytes(argument) + "\n";
    expected += "null\n";
    EXPECT_EQ(result.standard_output, expected);
    EXPECT_EQ(result.standard_error, "");
  }
}

#if !defined(_WIN32)
TEST(FrameSignals, InterruptIsNotAnOrderlyEnd) {
  const ChildResult result = RunProbe({"interrupt"});
  EXPECT_FALSE(result.exited) << result;
  EXPECT_EQ(result.status, SIGINT) << result;
  EXPECT_EQ(result.standard_error, "");
}
#endif

enum class Where { kProbeCode, kAnywhere };

// Runs a probe program that faults for real, and expects the report for
// `error_number` as the last output and status, at an address in `where`.
void ExpectFault(const std::vector<std::string>& arguments, int error_number, const std::string& message,
                 Where where) {
  const ChildResult result = RunProbe(arguments);
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, error_number) << result;
  std::uintptr_t address = 0;
  ASSERT_TRUE(IsReport(result.standard_error, error_number, message, &address)) << result;
  EXPECT_NE(address, 0u);
  const std::vector<std::uintptr_t> code = AddressesSaid(result.standard_output, "code");
  ASSERT_EQ(code.size(), 2u) << result;
  if (where == Where::kProbeCode) {
    EXPECT_GE(address, code[0]) << result;
    EXPECT_LT(address, code[1]) << result;
  }
}

TEST(FrameFault, NullWriteIsAnAccessViolation) { ExpectFault({"null-write"}, 1, "access violation", Where::kProbeCode); }

TEST(FrameFault, IntegerDivisionByZero) {
  ExpectFault({"divide-by-zero"}, 13, "integer divide by zero", Where::kProbeCode);
}

TEST(FrameFault, StackOverflow) {
#ifdef _WIN32
  // Wine (8.0) raises the overflow with too little stack left for any filter
  // to run, ignores SetThreadStackGuarantee, and ends the process itself.
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
    GTEST_SKIP() << "wine cannot run a filter for a stack overflow";
  }
#endif
  ExpectFault({"stack-overflow"}, 19, "stack error or overflow", Where::kProbeCode);
}

TEST(FrameFault, BreakpointTrap) { ExpectFault({"breakpoint"}, 3, "breakpoint", Where::kProbeCode); }

TEST(FrameFault, IllegalInstruction) {
  ExpectFault({"illegal-instruction"}, 17, "illegal instruction", Where::kProbeCode);
}

#if !defined(_WIN32)
// A bus error is the one signal whose code tells two faults apart.
TEST(FrameFault, BusErrorPastAMappedFileIsAnInvalidAddress) {
  ExpectFault({"past-mapped-file"}, 16, "invalid virtual address", Where::kProbeCode);
}
#endif

#if defined(__x86_64__) && !defined(_WIN32)
TEST(FrameFault, MisalignedLoadUnderAlignmentCheckIsAnAlignmentFault) {
  ExpectFault({"misaligned-load"}, 2, "invalid alignment", Where::kProbeCode);
}
#endif

#if !defined(_WIN32)
// A fault signal that a process sent, be it this one, is no processor fault,
// whatever its number and whatever its fault fields happen to hold.
TEST(FrameFault, SentFaultSignalIsAnUnknownError) {
  for (const char* way : {"raise-signal", "kill-signal", "queue-signal"}) {
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP}) {
      SCOPED_TRACE(std::string(way) + " " + std::to_string(signal));
      ExpectFault({way, std::to_string(signal)}, 99, "unknown error", Where::kAnywhere);
    }
  }
}
#endif

}  // namespace
}  // namespace frame
