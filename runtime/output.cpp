#include "runtime/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define ERILAISETRIVIT_WRITE _write
#else
#include <unistd.h>
#define ERILAISETRIVIT_WRITE write
#endif

#include "runtime/error.h"

namespace rt {

namespace {

constexpr int kStandardError = 2;

std::string ErrnoMessage(int error) { return std::strerror(error); }

}  // namespace

void SetBinaryOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void WriteBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto n = ERILAISETRIVIT_WRITE(kStandardError, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string_view DecimalDigits(Integer n, char (&buffer)[kDigitsBufferSize]) {
  char* end = buffer + kDigitsBufferSize;
  char* p = end;
  // Digits of the magnitude, taken as unsigned so that INT64_MIN has one.
  std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) *--p = '-';
  return {p, static_cast<std::size_t>(end - p)};
}

std::string_view HexDigits(std::uintptr_t address, char (&buffer)[kDigitsBufferSize]) {
  constexpr std::size_t kDigits = sizeof(std::uintptr_t) * 2;
  for (std::size_t i = 0; i < kDigits; ++i) {
    buffer[kDigits - 1 - i] = "0123456789ABCDEF"[address & 0xF];
    address >>= 4;
  }
  return {buffer, kDigits};
}

void WriteDecimal(Integer n) {
  char buffer[kDigitsBufferSize];
  WriteBytes(DecimalDigits(n, buffer));
}

void WriteHex(std::uintptr_t address) {
  char buffer[kDigitsBufferSize];
  WriteBytes(HexDigits(address, buffer));
}

void StandardOutputSink::WriteLine(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                       std::fputc('\n', stdout) != EOF && std::fflush(stdout) == 0;
  if (!written) {
    const int error = errno;
    throw Error("cannot write to standard output: " + (error != 0 ? ErrnoMessage(error) : std::string("write failed")),
                kOutputErrorStatus);
  }
}

}  // namespace rt
