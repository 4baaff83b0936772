#include "runtime/random.h"

#include <bit>
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

std::uint64_t Random::Next() {
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

Integer Random::Uniform(Integer n) {
  if (n < 1) throw Error("a random number needs an upper bound of at least 1");
  const auto range = static_cast<std::uint64_t>(n);
  if (range != range_) {
    // Draws up to the limit fall evenly on the residues modulo `range`; the
    // few above it are drawn again.
    range_ = range;
    limit_ = UINT64_MAX - (UINT64_MAX % range + 1) % range;
  }
  std::uint64_t draw;
  do {
    draw = Next();
  } while (draw > limit_);
  return static_cast<Integer>(draw % range) + 1;
}

}  // namespace rt
