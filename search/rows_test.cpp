#include "search/rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

#include "runtime/operations.h"
#include "runtime/random.h"
#include "runtime/test_values.h"
#include "search/storage.h"
#include "search/test_search.h"

namespace search {
namespace {

using rt::Integer;
using rt::Value;
using rt::test::IntegersOf;
using rt::test::ListOf;
using rt::test::ListOfIntegers;
using test::BootedSearch;

constexpr std::uint64_t kSeed = 20261208;

Value Text(const char* text) { return Value::MakeText(text); }

// Two lists and the number of equal pairs montaoikein must count in them.
struct PairCase {
  const char* what;
  Value rivi1;
  Value rivi2;
  Integer pairs;
};

// The expected count, formed another way: for every number, how often it
// stands in the first 7 positions of rivi1 times how often in rivi2.
Integer ExpectedPairs(const std::vector<Integer>& rivi1, const std::vector<Integer>& rivi2) {
  std::map<Integer, Integer> head;
  const auto head_length = static_cast<std::ptrdiff_t>(std::min<std::size_t>(rivi1.size(), 7));
  for (auto it = rivi1.begin(); it != rivi1.begin() + head_length; ++it) ++head[*it];
  Integer pairs = 0;
  for (const Integer n : rivi2) pairs += head.contains(n) ? head[n] : 0;
  return pairs;
}

// `length` integers from `lowest` to `highest`, distinct when asked.
std::vector<Integer> RandomNumbers(rt::Random& random, std::size_t length, Integer lowest, Integer highest,
                                   bool distinct) {
  std::vector<Integer> out;
  while (out.size() < length) {
    const Integer n = lowest - 1 + random.Uniform(highest - lowest + 1);
    if (!distinct || std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
  }
  return out;
}

TEST(Montaoikein, CountsEveryEqualPairOfRowsAndOfAnythingElse) {
  BootedSearch s(kSeed);
  const Value row = ListOf({1, 2, 3, 4, 5, 6, 7});
  const Value long_row = ListOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  const Value shared = ListOf({1});
  constexpr Integer kMax = std::numeric_limits<Integer>::max();
  const PairCase cases[] = {
      {"the same row", row, row, 7},
      {"a row and its copy", row, rt::Copy(row), 7},
      {"disjoint rows", ListOf({34, 35, 36, 37, 38, 39, 40}), row, 0},
      {"the same numbers reversed", row, ListOf({7, 6, 5, 4, 3, 2, 1}), 7},
      {"two numbers at other places", row, ListOf({7, 8, 9, 10, 11, 12, 1}), 2},
      {"a short rivi1", ListOf({5, 6, 7}), row, 3},
      {"an empty rivi1", ListOf({}), row, 0},
      {"an empty rivi2", row, ListOf({}), 0},
      {"rivi1 past position 7", long_row, ListOf({8, 9, 10, 1}), 1},
      {"all of a long rivi2", ListOf({8, 9, 10, 1}), long_row, 4},
      {"a number twice in rivi1", ListOf({1, 1, 2, 3, 4, 5, 6}), ListOf({1, 9, 10}), 2},
      {"a number three times in rivi2", ListOf({1, 2, 3, 4, 5, 6, 7}), ListOf({1, 1, 1, 8}), 3},
      {"a number repeated in both", ListOf({2, 2}), ListOf({2, 2, 2}), 6},
      {"numbers above 63", ListOf({64, 100, 1000, 5}), ListOf({1000, 64, 5, 6}), 3},
      {"zero and negatives", ListOf({0, -1, -40, 3}), ListOf({-1, 0, 3, 40}), 3},
      {"the integer extremes", ListOf({kMax, -kMax - 1}), ListOf({-kMax - 1, kMax, 1}), 2},
      {"texts equal by content", ListOf({Text("a"), 1}), ListOf({Text("a"), Text("a"), 1}), 3},
      {"a text is no integer", ListOf({Text("1")}), ListOf({1}), 0},
      {"the same list in both", ListOf({shared, 2}), ListOf({shared}), 1},
      {"equal lists that are not the same", ListOf({ListOf({1})}), ListOf({ListOf({1})}), 0},
      {"absent values equal nothing", ListOf({Value(), 1}), ListOf({Value(), 1}), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(montaoikein(s.g, c.rivi1, c.rivi2), c.pairs);
  }
}

TEST(Montaoikein, ExactOnRandomLists) {
  BootedSearch s(kSeed);
  rt::Random random(5);
  // Rows, and lists with repeats and integers outside 1..40 or 1..63.
  const struct {
    Integer lowest, highest;
    bool distinct;
  } kinds[] = {{1, 40, true}, {-3, 70, false}};
  for (const auto& kind : kinds) {
    for (int trial = 0; trial < 2000; ++trial) {
      const std::vector<Integer> a = RandomNumbers(random, static_cast<std::size_t>(random.Uniform(11) - 1),
                                                   kind.lowest, kind.highest, kind.distinct);
      const std::vector<Integer> b = RandomNumbers(random, static_cast<std::size_t>(random.Uniform(11) - 1),
                                                   kind.lowest, kind.highest, kind.distinct);
      ASSERT_EQ(montaoikein(s.g, ListOfIntegers(a), ListOfIntegers(b)), ExpectedPairs(a, b))
          << rt::TextForm(ListOfIntegers(a)) << " with " << rt::TextForm(ListOfIntegers(b));
    }
  }
}

TEST(Montaoikein, LeavesItsVariablesAsItsLastPassLeftThem) {
  BootedSearch s(kSeed);
  const Value rivi1 = ListOf({1, 2, 3, 4, 5, 6, 7, 8});
  const Value rivi2 = ListOf({9, 7, 3, Text("z")});
  montaoikein(s.g, rivi1, rivi2);
  EXPECT_EQ(s.g.numeroindeksi, Value(Integer{8}));
  EXPECT_EQ(s.g.kpl, Value(Integer{2}));
  EXPECT_EQ(s.g.numero, Value(Integer{7}));  // position 7 of rivi1, the last one read
  EXPECT_EQ(s.g.num2, Text("z"));
  // Past the end of a short rivi1 the last number read is the absent value.
  montaoikein(s.g, ListOf({1, 2}), ListOf({2}));
  EXPECT_TRUE(s.g.numero.is_absent());
}

// Starts rivit afresh and stores `rows` through the store step, then makes
// `candidate` the candidate.
void Place(BootedSearch& s, std::initializer_list<Value> rows, const Value& candidate) {
  set_up(s.g);
  for (const Value& row : rows) {
    s.g.arvotturivi = row;
    store_row(s.g);
  }
  s.g.arvotturivi = candidate;
}

TEST(Enitenoikein, NoStoredRowsGivesZero) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOf({1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(enitenoikein(s.g), 0);
  EXPECT_EQ(s.g.isoinkpl, Value(Integer{0}));
}

TEST(Enitenoikein, LargestOverlapWhereverItStands) {
  BootedSearch s(kSeed);
  const Value candidate = ListOf({1, 2, 3, 4, 5, 6, 7});
  const Value same = ListOf({7, 6, 5, 4, 3, 2, 1});
  const Value one = ListOf({1, 20, 21, 22, 23, 24, 25});
  const Value none = ListOf({30, 31, 32, 33, 34, 35, 36});
  const Value three = ListOf({1, 2, 3, 37, 38, 39, 40});

  Place(s, {same, one, none}, candidate);
  EXPECT_EQ(enitenoikein(s.g), 7);
  Place(s, {none, one, same}, candidate);
  EXPECT_EQ(enitenoikein(s.g), 7);
  Place(s, {one, three, none}, candidate);
  EXPECT_EQ(enitenoikein(s.g), 3);
  Place(s, {none}, candidate);
  EXPECT_EQ(enitenoikein(s.g), 0);
}

// What the pair-by-pair pass over rivit gives and leaves behind.
struct Pass {
  Integer result;
  Value isoinkpl, rivi, oik, numeroindeksi, kpl, numero, num2;
};

Pass Observe(const Globals& g, Integer result) {
  return {result, g.isoinkpl, g.rivi, g.oik, g.numeroindeksi, g.kpl, g.numero, g.num2};
}

Pass PairByPair(Globals& g) {
  g.isoinkpl = 0;
  for (const Value& row : g.rivit.list()) {
    g.rivi = row;
    g.oik = montaoikein(g, g.rivi, g.arvotturivi);
    if (g.oik.integer() >= g.isoinkpl.integer()) g.isoinkpl = g.oik;
  }
  return Observe(g, g.isoinkpl.integer());
}

// Equal, or both absent: the absent value equals nothing, not even itself.
bool Same(const Value& a, const Value& b) { return a.is_absent() ? b.is_absent() : a == b; }

void ExpectSamePass(const Pass& got, const Pass& expected) {
  ASSERT_EQ(got.result, expected.result);
  const Value Pass::*const variables[] = {&Pass::isoinkpl,      &Pass::rivi, &Pass::oik,    &Pass::numeroindeksi,
                                          &Pass::kpl,           &Pass::numero, &Pass::num2};
  for (const auto variable : variables) EXPECT_PRED2(Same, got.*variable, expected.*variable);
}

// Against the pair-by-pair pass, on random rivit of up to 70 rows and random
// candidates (the kernel's own paths are held against a plain count in
// overlap_test.cpp). Most rows are sets of numbers from 1 to 63, the whole
// width of a mask; now and then a row or the candidate repeats a number or
// holds one outside 1..63, which the exact count must handle. The candidate
// is made by arvorivi, made by it and then grown at its tail, or built
// directly: a candidate that grew since it was drawn is no longer what
// arvorivi made its mask from.
TEST(Enitenoikein, GivesAndLeavesWhatThePairByPairPassDoes) {
  BootedSearch s(kSeed);
  rt::Random random(7);
  const auto random_list = [&random](std::size_t length) {
    const bool set = random.Uniform(20) > 1;
    return ListOfIntegers(set ? RandomNumbers(random, length, 1, 63, true) : RandomNumbers(random, length, 0, 70, false));
  };
  for (int trial = 0; trial < 600; ++trial) {
    set_up(s.g);
    const Integer rows = random.Uniform(71) - 1;
    for (Integer i = 0; i < rows; ++i) {
      s.g.arvotturivi = random_list(7);
      store_row(s.g);
    }
    switch (random.Uniform(3)) {
      case 1:
        arvorivi(s.g);
        break;
      case 2:
        arvorivi(s.g);
        rt::Append(s.g.arvotturivi, random_list(static_cast<std::size_t>(random.Uniform(3))));
        break;
      default:
        s.g.arvotturivi = random_list(static_cast<std::size_t>(random.Uniform(11) - 1));
    }
    SCOPED_TRACE(testing::Message() << "rivit " << rt::TextForm(s.g.rivit) << " candidate "
                                    << rt::TextForm(s.g.arvotturivi));
    const auto forget = [&s] { s.g.isoinkpl = s.g.rivi = s.g.oik = s.g.numeroindeksi = s.g.kpl = s.g.numero = s.g.num2 = Value(); };
    forget();
    const Pass expected = PairByPair(s.g);
    forget();
    ExpectSamePass(Observe(s.g, enitenoikein(s.g)), expected);
    if (testing::Test::HasFailure()) return;
  }
}

TEST(Arvorivi, SevenDistinctNumbersFrom1To40InDrawOrder) {
  BootedSearch s(kSeed);
  rt::Random replay(kSeed);
  int draws = 0;
  constexpr int kCalls = 500;
  for (int call = 0; call < kCalls; ++call) {
    std::vector<Integer> expected;
    while (expected.size() < 7) {
      const Integer n = replay.Uniform(40);
      ++draws;
      if (std::find(expected.begin(), expected.end(), n) == expected.end()) expected.push_back(n);
    }
    arvorivi(s.g);
    const std::vector<Integer> row = IntegersOf(s.g.arvotturivi);
    ASSERT_EQ(row, expected) << "call " << call;
    EXPECT_EQ(s.g.lkm, Value(Integer{7}));
    EXPECT_EQ(s.g.numero, Value(expected.back()));
  }
  // Repeats came up, so their skipping was checked as well.
  EXPECT_GT(draws, 7 * kCalls);
}

TEST(Arvorivi, EachCallMakesANewListAndLeavesTheLastOneAlone) {
  BootedSearch s(kSeed);
  arvorivi(s.g);
  const Value first = s.g.arvotturivi;
  const std::vector<Integer> first_numbers = IntegersOf(first);
  arvorivi(s.g);
  const Value second = s.g.arvotturivi;
  EXPECT_NE(first, second);

  rt::Append(second, 99);
  EXPECT_EQ(IntegersOf(first), first_numbers);
  EXPECT_EQ(rt::Length(second), 8);

  // Both started from copies of the empty literal, which stays empty.
  EXPECT_EQ(rt::Length(s.literals.empty_rivi), 0);
}

}  // namespace
}  // namespace search
