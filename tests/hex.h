// Hexadecimal text for the tests and the fault probe, in the one form that
// the program's fatal report writes addresses (rt::HexDigits): upper-case
// digits, zero-filled to the width of a pointer, no prefix. The probe writes
// its lines with these and the tests read or compare them with the same.

#ifndef ERILAISETRIVIT_TESTS_HEX_H_
#define ERILAISETRIVIT_TESTS_HEX_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/output.h"

namespace tests {

inline std::string Hex(std::uintptr_t value) {
  char buffer[rt::kDigitsBufferSize];
  return std::string(rt::HexDigits(value, buffer));
}

// Two digits per byte, in order.
inline std::string HexBytes(std::string_view bytes) {
  std::string digits;
  for (const char c : bytes) digits += Hex(static_cast<unsigned char>(c)).substr(sizeof(std::uintptr_t) * 2 - 2);
  return digits;
}

}  // namespace tests

#endif  // ERILAISETRIVIT_TESTS_HEX_H_
