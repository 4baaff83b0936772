// Throw and catch. A throw carries a 32-bit value, which it also leaves in
// the shared record's thrown-value word. Catch frames form a chain along the
// call stack: each has a catch limit, and a throw is taken by the innermost
// frame whose limit, compared as unsigned 32-bit numbers, is not below the
// thrown value; a frame with a lower limit passes the throw on outwards. The
// process frame's root scope has the limit 0xFFFFFFFF and so takes every
// throw that nothing else takes.
//
// `halt`, the program's end, throws the quit marker, which the root scope
// turns into an orderly end with exit status 0.

#ifndef ERILAISETRIVIT_RUNTIME_THROW_H_
#define ERILAISETRIVIT_RUNTIME_THROW_H_

#include <cstdint>

#include "runtime/record.h"

namespace rt {

inline constexpr std::uint32_t kQuitMarker = 0x0BADCAFE;
inline constexpr std::uint32_t kCatchEverything = 0xFFFFFFFF;

// What travels up the stack; the value is also in the thrown-value word.
struct Thrown {
  std::uint32_t value;
};

[[noreturn]] void Throw(std::uint32_t value);

// Runs `body` in a catch frame with the given limit; a throw that the frame
// takes runs `handler`, any other passes on.
template <typename Body, typename Handler>
void Catch(std::uint32_t limit, Body&& body, Handler&& handler) {
  try {
    body();
  } catch (const Thrown& thrown) {
    if (thrown.value > limit) throw;
    handler();
  }
}

[[noreturn]] void halt();

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_THROW_H_
