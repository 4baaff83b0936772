// The runtime's random numbers: xoshiro256** with an unbiased bounded draw of
// our own, so that a seed gives the same numbers on every platform and with
// every standard library. The program seeds it from the operating system;
// tests give it a seed of their own.

#ifndef ERILAISETRIVIT_RUNTIME_RANDOM_H_
#define ERILAISETRIVIT_RUNTIME_RANDOM_H_

#include <array>
#include <bit>
#include <cstdint>

#include "runtime/value.h"

namespace rt {

class Random {
 public:
  // The four words of state are spread from the seed with splitmix64.
  explicit Random(std::uint64_t seed);
  // A seed from the operating system's entropy, so that two runs differ.
  static std::uint64_t OperatingSystemSeed();
  static Random FromOperatingSystem() { return Random(OperatingSystemSeed()); }

  // An integer drawn uniformly from 1 to n inclusive.
  // REQUIRES: n >= 1 (otherwise raises rt::Error).
  // Inline, so that a caller's constant bound turns the division into a
  // multiplication.
  Integer Uniform(Integer n) {
    if (n < 1) RaiseBadBound();
    const auto range = static_cast<std::uint64_t>(n);
    if (range != range_) {
      // Draws up to the limit fall evenly on the residues modulo `range`;
      // the few above it are drawn again.
      range_ = range;
      limit_ = UINT64_MAX - (UINT64_MAX % range + 1) % range;
    }
    std::uint64_t draw;
    do {
      draw = Next();
    } while (draw > limit_);
    return static_cast<Integer>(draw % range) + 1;
  }

  std::uint64_t Next() {
    const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = std::rotl(s_[3], 45);
    return result;
  }

 private:
  [[noreturn]] static void RaiseBadBound();

  std::array<std::uint64_t, 4> s_;
  // The bound of the last Uniform and its rejection limit, since a caller
  // tends to draw many times with one bound and the limit costs two divisions.
  std::uint64_t range_ = 0;
  std::uint64_t limit_ = 0;
};

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_RANDOM_H_
