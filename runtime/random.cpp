#include "runtime/random.h"

#include <chrono>
#include <random>

#include "runtime/error.h"

namespace rt {

namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

Random::Random(std::uint64_t seed) {
  for (std::uint64_t& word : s_) word = SplitMix64(seed);
}

std::uint64_t Random::OperatingSystemSeed() {
  std::random_device device;
  std::uint64_t seed = (std::uint64_t{device()} << 32) ^ device();
  // Mixed with the clock as well, in case the device is a fixed sequence.
  seed ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  return seed;
}

void Random::RaiseBadBound() { throw Error("a random number needs an upper bound of at least 1"); }

}  // namespace rt
