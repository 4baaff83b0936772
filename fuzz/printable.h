// What the fuzzers ask of a message made from any bytes: that it shows only
// printable characters, so that a front can print it as it is.

#ifndef ERILAISETRIVIT_FUZZ_PRINTABLE_H_
#define ERILAISETRIVIT_FUZZ_PRINTABLE_H_

#include <cstddef>
#include <string_view>

// Every character of `text` printable: no control byte, and the rest whole
// UTF-8 sequences.
inline bool Printable(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x20 || lead == 0x7F) return false;
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

#endif  // ERILAISETRIVIT_FUZZ_PRINTABLE_H_
