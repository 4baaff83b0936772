// The Windows process frame watched from outside, through the fault probe
// (fault_probe.cpp) in a child process: every exception code that the
// unhandled-exception filter knows, raised with RaiseException, and the
// command line as the system splits it. frame_test.cpp holds what both
// platforms share: real faults, the root scope, the argument bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/hex.h"

namespace frame {
namespace {

using tests::ChildResult;

constexpr char kProbe[] = FAULT_PROBE_PATH;

// Exception codes and what the report makes of them, written out here
// independently of the program's own tables.
struct Fault {
  std::uint32_t code;
  int error_number;
  const char* message;
};

constexpr Fault kFaults[] = {
    {0xC0000005, 1, "access violation"},
    {0x80000002, 2, "invalid alignment"},
    {0x80000003, 3, "breakpoint"},
    {0x80000004, 4, "single step"},
    {0xC000008C, 5, "bounds exceeded"},
    {0xC000008D, 6, "float denormal operan"},
    {0xC000008E, 7, "float divide by zero"},
    {0xC000008F, 8, "float inexact result"},
    {0xC0000090, 9, "float invalid operation"},
    {0xC0000091, 10, "float overflow"},
    {0xC0000092, 11, "float stack check"},
    {0xC0000093, 12, "float underflow"},
    {0xC0000094, 13, "integer divide by zero"},
    {0xC0000095, 14, "integer overflow"},
    {0xC0000096, 15, "privileged instruction"},
    {0xC0000006, 16, "invalid virtual address"},
    {0xC000001D, 17, "illegal instruction"},
    {0xC0000025, 18, "non-continuable exception"},
    {0xC00000FD, 19, "stack error or overflow"},
    {0xC0000026, 20, "invalid disposition"},
    {0x80000001, 21, "guard page"},
    {0xC0000008, 22, "invalid handle"},
    // Codes the table lacks: one of an application's own, and the code that
    // the table's Ctrl+C entry would match if only its low bits counted.
    {0xE0001234, 99, "unknown error"},
    {0x0000013A, 99, "unknown error"},
};

// An address in the report: upper-case hexadecimal, one digit per four bits
// of a pointer (8 in the 32-bit program, 16 in the 64-bit one).
constexpr int kAddressDigits = sizeof(void*) * 2;

// The address that the probe gives the filter, as the report writes it.
const std::string kProbeAddress = tests::Hex(0x00401234);

// The stack and frame pointers of the probe's context, as the probe writes
// the fault frame record that the filter kept.
const std::string kKeptFaultFrame = "fault-frame kept " + tests::Hex(0x0012FF40) + " " + tests::Hex(0x0012FF80) + "\n";

// Exactly "\n*** Runtime Error N: message\n*** at: <address>h\n", and exit
// status N.
void ExpectReport(const ChildResult& result, const Fault& fault) {
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, fault.error_number) << result;
  EXPECT_EQ(result.standard_output, "");
  const std::regex report("\n\\*\\*\\* Runtime Error " + std::to_string(fault.error_number) + ": " + fault.message +
                          "\n\\*\\*\\* at: [0-9A-F]{" + std::to_string(kAddressDigits) + "}h\n");
  EXPECT_TRUE(std::regex_match(result.standard_error, report)) << result;
}

TEST(WindowsFaultFilter, EveryRaisedCodeGivesItsErrorNumberMessageAndStatus) {
  for (const Fault& fault : kFaults) {
    const std::string code = "0x" + tests::Hex(fault.code);
    SCOPED_TRACE(code);
    ExpectReport(tests::RunChild(kProbe, {"raise", code}), fault);
  }
}

// Raised, this code never reaches the filter under wine, which ends the
// process with status 1 itself; so the probe hands it to the filter directly.
TEST(WindowsFaultFilter, ControlCExitWritesNothingAndExitsWithZero) {
  const ChildResult result = tests::RunChild(kProbe, {"filter", "0xC000013A"});
  EXPECT_TRUE(result.exited) << result;
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.standard_output, kKeptFaultFrame);
  EXPECT_EQ(result.standard_error, "");
}

TEST(WindowsFaultFilter, ReportsTheExceptionAddress) {
  const ChildResult result = tests::RunChild(kProbe, {"filter", "0xC0000094"});
  EXPECT_EQ(result.status, 13) << result;
  EXPECT_EQ(result.standard_error, "\n*** Runtime Error 13: integer divide by zero\n*** at: " + kProbeAddress + "h\n");
}

// Only a context with every register group is trusted for the stack and
// frame pointers; with any other the fault frame record and word 11 stay as
// they were. The report is the same either way.
TEST(WindowsFaultFilter, KeepsTheFaultFrameOfACompleteContextOnly) {
  const std::string report = "\n*** Runtime Error 1: access violation\n*** at: " + kProbeAddress + "h\n";
  const ChildResult complete = tests::RunChild(kProbe, {"filter", "0xC0000005"});
  EXPECT_EQ(complete.status, 1) << complete;
  EXPECT_EQ(complete.standard_output, kKeptFaultFrame);
  EXPECT_EQ(complete.standard_error, report);

  const ChildResult partial = tests::RunChild(kProbe, {"filter-partial", "0xC0000005"});
  EXPECT_EQ(partial.status, 1) << partial;
  EXPECT_EQ(partial.standard_output, "fault-frame untouched " + tests::Hex(0) + " " + tests::Hex(0) + "\n");
  EXPECT_EQ(partial.standard_error, report);
}

// Runs of backslashes count only before a quote, where they halve; the
// runner quotes each argument so that the child's split undoes it exactly.
TEST(WindowsArguments, BackslashRunsAndQuotesSurviveTheCommandLineSplit) {
  const std::vector<std::string> arguments = {
      "arguments", "\\\\\"", "\\\"\\\\", "\"\"", "a\\\\b c", "\\\\server\\share\\", "end\\\\", " ", "\xF0\x9D\x84\x9E",
  };
  const ChildResult result = tests::RunChild(kProbe, arguments);
  std::string expected = std::to_string(arguments.size() + 1) + "\n" + tests::HexBytes(kProbe) + "\n";
  for (const std::string& argument : arguments) expected += tests::HexBytes(argument) + "\n";
  EXPECT_EQ(result.standard_output, expected + "null\n") << result;
  EXPECT_EQ(result.status, 0);
}

}  // namespace
}  // namespace frame
