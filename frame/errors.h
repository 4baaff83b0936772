// The error numbers of the fatal report: which operating-system exception
// gives which number (table 1), and the message the report prints for each
// number (table 2). The report itself, for a number N and a code address A:
//   "\n*** Runtime Error N: <message>\n*** at: <A in hexadecimal>h\n"

#ifndef ERILAISETRIVIT_FRAME_ERRORS_H_
#define ERILAISETRIVIT_FRAME_ERRORS_H_

#include <cstdint>

namespace frame {

inline constexpr std::int32_t kNoError = 0;
inline constexpr std::int32_t kUncaughtThrowError = 95;
inline constexpr std::int32_t kUnknownExceptionError = 99;

// Exception codes of the operating system that the frame names itself.
inline constexpr std::uint32_t kAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kControlCExit = 0xC000013A;

// Table 1: the error number of an exception code; 0 for a Ctrl+C end, 99 for
// a code the table lacks.
std::int32_t error_number_for_exception(std::uint32_t exception_code);

// Table 2: the report's message for an error number.
const char* error_message(std::int32_t error_number);

// Writes the report for `error_number` at `code_address` through the
// low-level output; with `flush`, every output stream is flushed after each of
// its three groups. Without, it is safe inside a signal handler.
void write_report(std::int32_t error_number, std::uintptr_t code_address, bool flush);

}  // namespace frame

#endif  // ERILAISETRIVIT_FRAME_ERRORS_H_
