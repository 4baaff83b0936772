#include "search/overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <numeric>
#include <span>
#include <vector>

#include "runtime/random.h"
#include "search/overlap_paths.h"
#include "search/test_search.h"

namespace search {
namespace {

constexpr RowMask kEveryBit = ~RowMask{0};

int PlainCount(std::span<const RowMask> rows, RowMask candidate) {
  int most = 0;
  for (const RowMask row : rows) most = std::max(most, std::popcount(row & candidate));
  return most;
}

// A quarter, a half or three quarters of the bits set on average; bit 63,
// the highest, in as many.
RowMask RandomMask(rt::Random& random) {
  switch (random.Uniform(3)) {
    case 1:
      return random.Next() & random.Next();
    case 2:
      return random.Next();
    default:
      return random.Next() | random.Next();
  }
}

// Each path of the overlap kernel that this CPU runs, taken by
// largest_overlap, against a plain count: on random masks at every row count
// up to 40 and some large ones, so that every remainder of every kernel's
// block of rows comes up. The rows start at any word of a buffer whose other
// words have every bit set, which a kernel that read past the last row would
// count.
TEST(LargestOverlap, EveryPathGivesThePlainCount) {
  std::vector<std::size_t> counts(41);
  std::iota(counts.begin(), counts.end(), 0);
  counts.insert(counts.end(), {100, 257, 1000, 4099});
  rt::Random random(11);
  const int paths = test::ForEachOverlapPath([&counts, &random](const OverlapPath& path) {
    SCOPED_TRACE(path.name);
    for (const std::size_t count : counts) {
      for (int trial = 0; trial < 20; ++trial) {
        const auto start = static_cast<std::size_t>(random.Uniform(8) - 1);
        std::vector<RowMask> buffer(start + count + 8, kEveryBit);
        const std::span<RowMask> rows(buffer.data() + start, count);
        std::generate(rows.begin(), rows.end(), [&random] { return RandomMask(random); });
        const RowMask candidate = trial == 0 ? kEveryBit : RandomMask(random);
        ASSERT_EQ(largest_overlap(rows, candidate), PlainCount(rows, candidate))
            << count << " rows from word " << start << ", candidate " << std::hex << candidate;
      }
    }
  });
  EXPECT_GT(paths, 0);
}

}  // namespace
}  // namespace search
