// The runtime's random numbers: xoshiro256** with an unbiased bounded draw of
// our own, so that a seed gives the same numbers on every platform and with
// every standard library. The program seeds it from the operating system;
// tests give it a seed of their own.

#ifndef ERILAISETRIVIT_RUNTIME_RANDOM_H_
#define ERILAISETRIVIT_RUNTIME_RANDOM_H_

#include <array>
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
  Integer Uniform(Integer n);

  std::uint64_t Next();

 private:
  std::array<std::uint64_t, 4> s_;
  // The bound of the last Uniform and its rejection limit, since a caller
  // tends to draw many times with one bound and the limit costs two divisions.
  std::uint64_t range_ = 0;
  std::uint64_t limit_ = 0;
};

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_RANDOM_H_
