// The runtime's two ways out.
//
// Low-level output writes byte strings, decimal integers and hexadecimal
// addresses straight to standard error, unbuffered, with nothing but the
// write system call: it works before the runtime is started, allocates
// nothing, and is safe inside a signal handler. The fatal report uses it. Its
// results are not examined; there is nowhere left to report a failure.
//
// Printing a line writes a text and a line feed to a LineSink, by default
// standard output, flushed after every line so that a stream that refuses it
// is noticed at once and raised as rt::Error with kOutputErrorStatus.
//
// After SetBinaryOutput both ways write a line feed as the one byte 0x0A on
// every system.

#ifndef ERILAISETRIVIT_RUNTIME_OUTPUT_H_
#define ERILAISETRIVIT_RUNTIME_OUTPUT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/value.h"

namespace rt {

// Standard output and standard error write a line feed as the one byte 0x0A:
// the Windows C runtime opens them in text mode, which writes CR LF.
void SetBinaryOutput();

void WriteBytes(std::string_view bytes);
void WriteDecimal(Integer n);
// Upper-case digits, zero-filled to the width of a pointer, no prefix.
void WriteHex(std::uintptr_t address);

// The digits that WriteDecimal and WriteHex write, into a caller's buffer.
inline constexpr std::size_t kDigitsBufferSize = 24;
std::string_view DecimalDigits(Integer n, char (&buffer)[kDigitsBufferSize]);
std::string_view HexDigits(std::uintptr_t address, char (&buffer)[kDigitsBufferSize]);

class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void WriteLine(std::string_view text) = 0;
};

// Keeps the lines, for a run whose lines its caller reads afterwards.
class LineCollector : public LineSink {
 public:
  void WriteLine(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// Standard output. REQUIRES: one instance per process.
class StandardOutputSink : public LineSink {
 public:
  void WriteLine(std::string_view text) override;
};

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_OUTPUT_H_
