#include "runtime/output.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "runtime/error.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rt {
namespace {

constexpr std::size_t kHexWidth = sizeof(std::uintptr_t) * 2;

std::string Decimal(Integer n) {
  char buffer[kDigitsBufferSize];
  return std::string(DecimalDigits(n, buffer));
}

std::string Hex(std::uintptr_t address) {
  char buffer[kDigitsBufferSize];
  return std::string(HexDigits(address, buffer));
}

// `digits` zero-filled on the left to the width of a pointer.
std::string ZeroFilled(const std::string& digits) { return std::string(kHexWidth - digits.size(), '0') + digits; }

TEST(DecimalDigits, PlainDigitsWithAMinusWhenNegative) {
  EXPECT_EQ(Decimal(0), "0");
  EXPECT_EQ(Decimal(7), "7");
  EXPECT_EQ(Decimal(95), "95");
  EXPECT_EQ(Decimal(-1), "-1");
  EXPECT_EQ(Decimal(1000000), "1000000");
  EXPECT_EQ(Decimal(-2147483648), "-2147483648");
  EXPECT_EQ(Decimal(std::numeric_limits<Integer>::max()), "9223372036854775807");
  EXPECT_EQ(Decimal(std::numeric_limits<Integer>::min()), "-9223372036854775808");
}

TEST(HexDigits, UpperCaseZeroFilledToPointerWidthNoPrefix) {
  EXPECT_EQ(Hex(0), std::string(kHexWidth, '0'));
  EXPECT_EQ(Hex(0x1), ZeroFilled("1"));
  EXPECT_EQ(Hex(0xABCDEF), ZeroFilled("ABCDEF"));
  EXPECT_EQ(Hex(0x40123A), ZeroFilled("40123A"));
  EXPECT_EQ(Hex(std::numeric_limits<std::uintptr_t>::max()), std::string(kHexWidth, 'F'));
}

#ifndef _WIN32

constexpr int kClosed = -1;

// Runs `write` with the descriptor `fd` standing in for `target`, or with
// `target` closed for kClosed, then puts the old descriptor back.
template <typename Write>
void WithDescriptor(int target, int fd, Write&& write) {
  const int saved = dup(target);
  ASSERT_GE(saved, 0);
  if (fd == kClosed) {
    close(target);
  } else {
    dup2(fd, target);
  }
  write();
  dup2(saved, target);
  close(saved);
}

// What `write` puts on descriptor `target`.
template <typename Write>
std::string Captured(int target, Write&& write) {
  std::FILE* file = std::tmpfile();
  EXPECT_NE(file, nullptr);
  if (file == nullptr) return "";
  WithDescriptor(target, fileno(file), write);
  std::string out;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) out += static_cast<char>(c);
  std::fclose(file);
  return out;
}

TEST(LowLevelOutput, WritesStraightToStandardError) {
  const std::string written = Captured(STDERR_FILENO, [] {
    WriteBytes("*** at: ");
    WriteHex(0xBEEF);
    WriteBytes("h ");
    WriteDecimal(-95);
    WriteBytes(std::string_view("\0!", 2));
  });
  EXPECT_EQ(written, "*** at: " + ZeroFilled("BEEF") + "h -95" + std::string("\0!", 2));
}

TEST(StandardOutputSink, WritesTheTextAndALineFeed) {
  StandardOutputSink sink;
  std::fflush(stdout);
  const std::string written = Captured(STDOUT_FILENO, [&sink] {
    sink.WriteLine("Vahintaan 1 saa noin 5:lla rivilla");
    sink.WriteLine("");
  });
  EXPECT_EQ(written, "Vahintaan 1 saa noin 5:lla rivilla\n\n");
}

// The status of the error that a line written to `fd` as standard output
// raises, or 0 when it is written.
int StatusOfWritingTo(int fd) {
  StandardOutputSink sink;
  std::fflush(stdout);
  // Opened first, so that it cannot take the place of a closed descriptor 1.
  const int null = open("/dev/null", O_WRONLY);
  EXPECT_GE(null, 0);
  int status = 0;
  WithDescriptor(STDOUT_FILENO, fd, [&] {
    try {
      sink.WriteLine("a line");
    } catch (const Error& e) {
      status = e.status();
      EXPECT_NE(std::string(e.what()).find("standard output"), std::string::npos) << e.what();
    }
    // The refused line may still sit in the stream's buffer; it goes to
    // /dev/null here rather than into the test's own output later.
    dup2(null, STDOUT_FILENO);
    std::fflush(stdout);
    std::clearerr(stdout);
  });
  close(null);
  return status;
}

TEST(StandardOutputSink, AFullDeviceRaisesTheOutputError) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  EXPECT_EQ(StatusOfWritingTo(full), kOutputErrorStatus);
  close(full);
}

TEST(StandardOutputSink, AClosedDescriptorRaisesTheOutputError) {
  EXPECT_EQ(StatusOfWritingTo(kClosed), kOutputErrorStatus);
}

TEST(StandardOutputSink, APipeWithoutReaderRaisesTheOutputError) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  close(pipe_ends[0]);  // nobody reads: the write fails with EPIPE
  const auto old_handler = signal(SIGPIPE, SIG_IGN);
  EXPECT_EQ(StatusOfWritingTo(pipe_ends[1]), kOutputErrorStatus);
  signal(SIGPIPE, old_handler);
  close(pipe_ends[1]);
}

#endif  // _WIN32

}  // namespace
}  // namespace rt
