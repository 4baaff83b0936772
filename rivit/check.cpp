#include "rivit/check.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace rivit {

namespace {

// For each k, the k-member subsets of a row's positions 0 to kLongestRow - 1,
// as bit masks, in increasing order: those of a row of K numbers are the
// ones below 2^K.
using PositionSubsets = std::array<std::vector<std::uint16_t>, kLongestRow + 1>;
PositionSubsets position_subsets() {
  PositionSubsets subsets;
  for (unsigned choice = 1; choice < (1U << kLongestRow); ++choice) {
    subsets[static_cast<std::size_t>(std::popcount(choice))].push_back(static_cast<std::uint16_t>(choice));
  }
  return subsets;
}

// A set of non-zero masks, open addressing with linear probing, never more
// than half full.
class MaskSet {
 public:
  explicit MaskSet(std::size_t most_members)
      : slots_(std::bit_ceil(2 * most_members + 1)), shift_(64 - std::countr_zero(slots_.size())) {}

  // Adds `mask`; false when it was a member already.
  bool Insert(RowMask mask) {
    const std::size_t last = slots_.size() - 1;
    for (auto i = static_cast<std::size_t>((mask * 0x9E3779B97F4A7C15ULL) >> shift_);; i = (i + 1) & last) {
      if (slots_[i] == mask) return false;
      if (slots_[i] == 0) {
        slots_[i] = mask;
        return true;
      }
    }
  }

 private:
  std::vector<RowMask> slots_;
  int shift_;
};

}  // namespace

std::optional<SharedPair> closest_pair(std::span<const RowMask> rows, Lottery lottery) {
  if (rows.size() < 2) return std::nullopt;
  static const PositionSubsets kSubsets = position_subsets();
  const auto length = static_cast<std::size_t>(lottery.length);
  for (int k = lottery.length; k >= 1; --k) {
    const std::vector<std::uint16_t>& all_choices = kSubsets[static_cast<std::size_t>(k)];
    const auto end_of_row = std::lower_bound(all_choices.begin(), all_choices.end(), std::uint16_t{1} << length);
    const std::span<const std::uint16_t> choices(all_choices.data(),
                                                 static_cast<std::size_t>(end_of_row - all_choices.begin()));
    // No more members than subsets of the rows, nor than k-subsets of the numbers.
    MaskSet seen(static_cast<std::size_t>(
        std::min<std::uint64_t>(std::uint64_t{rows.size()} * choices.size(), choose(lottery.numbers, k))));
    for (std::size_t second = 0; second < rows.size(); ++second) {
      std::array<RowMask, kLongestRow> bits{};
      RowMask rest = rows[second];
      for (std::size_t p = 0; p < length; ++p) {
        bits[p] = rest & (0 - rest);
        rest ^= bits[p];
      }
      for (const std::uint16_t choice : choices) {
        RowMask subset = 0;
        for (std::size_t p = 0; p < length; ++p) {
          if ((choice >> p & 1U) != 0) subset |= bits[p];
        }
        if (seen.Insert(subset)) continue;
        const auto first = static_cast<std::size_t>(
            std::find_if(rows.begin(), rows.end(), [subset](RowMask row) { return (row & subset) == subset; }) -
            rows.begin());
        return SharedPair{k, first, second};
      }
    }
  }
  return SharedPair{0, 0, 1};
}

RowsCheck check_of(const ReadRows& read) {
  std::vector<RowMask> masks(read.rows.size());
  std::transform(read.rows.begin(), read.rows.end(), masks.begin(), mask_of);
  std::optional<SharedPair> closest = closest_pair(masks, read.lottery);
  if (closest) closest = SharedPair{closest->numbers, read.lines[closest->first], read.lines[closest->second]};
  return {read.rows.size(), closest, std::nullopt};
}

RowsCheck check_of_lines(std::span<const NumberSet> lines, std::span<const std::size_t> line_numbers, int numbers,
                         int length) {
  std::optional<SharedPair> closest;
  if (within_limits({numbers, length})) {
    std::vector<RowMask> masks(lines.size());
    std::transform(lines.begin(), lines.end(), masks.begin(), [](const NumberSet& line) { return line.row_mask(); });
    closest = closest_pair(masks, {numbers, length});
  } else {
    for (std::size_t second = 1; second < lines.size(); ++second) {
      for (std::size_t first = 0; first < second; ++first) {
        const int shared = (lines[first] & lines[second]).size();
        if (!closest || shared > closest->numbers) closest = SharedPair{shared, first, second};
      }
    }
  }
  if (closest) closest = SharedPair{closest->numbers, line_numbers[closest->first], line_numbers[closest->second]};
  return {lines.size(), closest, std::nullopt};
}

}  // namespace rivit
