#include "rivit/internal/golay.h"

#include <array>
#include <bit>
#include <cstdint>

namespace rivit {
namespace {

constexpr int kCyclicLength = kGolayLength - 1;
constexpr std::uint32_t kCyclicWords = (std::uint32_t{1} << kCyclicLength) - 1;

std::uint32_t quadratic_residues() {
  std::uint32_t word = 0;
  for (int i = 1; i < kCyclicLength; ++i) word |= std::uint32_t{1} << (i * i % kCyclicLength);
  return word;
}

// A basis of the span of the residues' cyclic shifts, one word for each
// leading bit that some word of the span has.
std::array<std::uint32_t, kCyclicLength> golay_basis() {
  std::array<std::uint32_t, kCyclicLength> basis{};
  const std::uint32_t residues = quadratic_residues();
  for (int shift = 0; shift < kCyclicLength; ++shift) {
    std::uint32_t word = ((residues << shift) | (residues >> (kCyclicLength - shift))) & kCyclicWords;
    while (word != 0) {
      std::uint32_t& pivot = basis[static_cast<std::size_t>(std::bit_width(word) - 1)];
      if (pivot == 0) {
        pivot = word;
        break;
      }
      word ^= pivot;
    }
  }
  return basis;
}

// The 759 octads, as masks of 24 bits (bit 23 the parity bit).
std::vector<RowMask> octads() {
  std::vector<std::uint32_t> basis;
  for (const std::uint32_t word : golay_basis()) {
    if (word != 0) basis.push_back(word);
  }
  std::vector<RowMask> found;
  for (std::uint32_t pick = 0; pick < (std::uint32_t{1} << basis.size()); ++pick) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < basis.size(); ++i) word ^= (pick >> i & 1) != 0 ? basis[i] : 0;
    const RowMask extended = word | RowMask{static_cast<std::uint32_t>(std::popcount(word) & 1)} << kCyclicLength;
    if (std::popcount(extended) == kOctadSize) found.push_back(extended);
  }
  return found;
}

}  // namespace

std::vector<RowMask> golay_steiner_system(int length) {
  if (length < kGolayShortestBlock || length > kOctadSize) return {};
  const int points = length + kGolayLength - kOctadSize;
  const RowMask through = ((RowMask{1} << kGolayLength) - 1) & ~((RowMask{1} << points) - 1);
  std::vector<RowMask> blocks;
  for (const RowMask octad : octads()) {
    if ((octad & through) == through) blocks.push_back(octad & ~through);
  }
  return blocks;
}

}  // namespace rivit
