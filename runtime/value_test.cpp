#include "runtime/value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::ListOf;

SetMask Bits(std::initializer_list<int> numbers) {
  SetMask mask = 0;
  for (int n : numbers) mask |= SetMask{1} << n;
  return mask;
}

std::vector<SetMask> MasksOf(const Value& list) {
  const std::span<const SetMask> masks = list.list().element_head_masks();
  return {masks.begin(), masks.end()};
}

TEST(Value, KindsAndAccessors) {
  const Value absent;
  const Value integer = Integer{-5};
  const Value list = MakeList();
  const Value text = Value::MakeText("abc");

  EXPECT_TRUE(absent.is_absent());
  EXPECT_TRUE(integer.is_integer());
  EXPECT_TRUE(list.is_list());
  EXPECT_TRUE(text.is_text());
  EXPECT_FALSE(absent.is_integer() || absent.is_list() || absent.is_text());

  EXPECT_EQ(integer.integer(), -5);
  EXPECT_EQ(list.list().size(), 0u);
  EXPECT_EQ(text.text(), "abc");
}

TEST(Value, AccessorOfAnotherKindRaises) {
  const Value integer = Integer{1};
  const Value text = Value::MakeText("1");
  EXPECT_THROW(integer.list(), Error);
  EXPECT_THROW(integer.text(), Error);
  EXPECT_THROW(text.integer(), Error);
  EXPECT_THROW(Value().integer(), Error);
  EXPECT_THROW(Value().list(), Error);
  try {
    text.integer();
  } catch (const Error& e) {
    EXPECT_EQ(e.status(), kRuntimeErrorStatus);
  }
}

TEST(Value, EqualityByContentForIntegersAndTextsByIdentityForLists) {
  EXPECT_EQ(Value(Integer{7}), Value(Integer{7}));
  EXPECT_NE(Value(Integer{7}), Value(Integer{8}));
  EXPECT_EQ(Value::MakeText("ab"), Value::MakeText("ab"));
  EXPECT_NE(Value::MakeText("ab"), Value::MakeText("abc"));

  // An integer and its text form are different kinds.
  EXPECT_NE(Value(Integer{1}), Value::MakeText("1"));

  const Value a = ListOf({1, 2});
  const Value same = a;
  EXPECT_EQ(a, same);
  EXPECT_NE(a, ListOf({1, 2}));
  EXPECT_NE(a, Copy(a));
}

TEST(Value, AbsentEqualsNothingNotEvenItself) {
  const Value absent;
  EXPECT_FALSE(absent == absent);
  EXPECT_FALSE(absent == Value());
  EXPECT_FALSE(absent == Value(Integer{0}));
  EXPECT_FALSE(Value(Integer{0}) == absent);
  EXPECT_FALSE(absent == Value::MakeText(""));
}

TEST(Value, TextsNeverChange) {
  const Value text = Value::MakeText("row");
  const Value other = text;
  EXPECT_EQ(&text.text(), &other.text());
  EXPECT_EQ(other.text(), "row");
}

TEST(ListMasks, EmptyListHasEmptyMasks) {
  const Value list = MakeList();
  EXPECT_EQ(list.list().head_mask(), 0u);
  EXPECT_EQ(list.list().mask(), 0u);
}

TEST(ListMasks, DistinctSmallIntegersSetTheirBits) {
  const Value row = ListOf({12, 5, 33, 7, 21, 40, 2});
  EXPECT_EQ(row.list().head_mask(), Bits({12, 5, 33, 7, 21, 40, 2}));
  EXPECT_EQ(row.list().mask(), Bits({12, 5, 33, 7, 21, 40, 2}));

  const Value ends = ListOf({1, 63});
  EXPECT_EQ(ends.list().mask(), Bits({1, 63}));
}

TEST(ListMasks, HeadMaskCoversOnlyTheFirstSevenElements) {
  const Value list = ListOf({1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(list.list().head_mask(), Bits({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(list.list().mask(), Bits({1, 2, 3, 4, 5, 6, 7, 8, 9}));

  // A duplicate or a stranger past the head spoils only the whole mask.
  const Value tail = ListOf({1, 2, 3, 4, 5, 6, 7, 1, 99});
  EXPECT_EQ(tail.list().head_mask(), Bits({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_NE(tail.list().mask() & kNotASmallSet, 0u);
}

TEST(ListMasks, AnythingButDistinctIntegersFrom1To63IsNotASmallSet) {
  const struct {
    const char* what;
    Value list;
  } cases[] = {
      {"an integer twice", ListOf({3, 4, 3})},
      {"zero", ListOf({3, 0})},
      {"a negative integer", ListOf({3, -1})},
      {"64", ListOf({3, 64})},
      {"the largest integer", ListOf({3, std::numeric_limits<Integer>::max()})},
      {"the smallest integer", ListOf({3, std::numeric_limits<Integer>::min()})},
      {"a text", ListOf({3, Value::MakeText("4")})},
      {"a list", ListOf({3, ListOf({4})})},
      {"the absent value", ListOf({3, Value()})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(c.list.list().head_mask() & kNotASmallSet, 0u);
    EXPECT_NE(c.list.list().mask() & kNotASmallSet, 0u);
  }
}

TEST(ElementHeadMasks, OneMaskPerElementNonListsNotASmallSet) {
  const Value r1 = ListOf({1, 2, 3, 4, 5, 6, 7, 8});
  const Value r2 = ListOf({40, 1, 1});
  const Value parent = ListOf({r1, r2, 5, Value::MakeText("x")});
  EXPECT_EQ(MasksOf(parent),
            (std::vector<SetMask>{Bits({1, 2, 3, 4, 5, 6, 7}), r2.list().head_mask(), kNotASmallSet, kNotASmallSet}));
  EXPECT_NE(r2.list().head_mask() & kNotASmallSet, 0u);
  EXPECT_TRUE(MasksOf(MakeList()).empty());
}

TEST(ElementHeadMasks, KeptInStepWithAppendsToTheParent) {
  const Value parent = ListOf({ListOf({1, 2})});
  ASSERT_EQ(MasksOf(parent).size(), 1u);

  Append(parent, ListOf({ListOf({3, 4})}));  // adds the inner row as one element
  Append(parent, 9);
  EXPECT_EQ(MasksOf(parent), (std::vector<SetMask>{Bits({1, 2}), Bits({3, 4}), kNotASmallSet}));
}

TEST(ElementHeadMasks, KeptInStepWithAppendsToAChildRow) {
  const Value child = ListOf({1, 2, 3});
  const Value parent = ListOf({child});
  ASSERT_EQ(MasksOf(parent), std::vector<SetMask>{Bits({1, 2, 3})});

  Append(child, 4);
  EXPECT_EQ(MasksOf(parent), std::vector<SetMask>{Bits({1, 2, 3, 4})});

  // A number twice makes the child's head no small set.
  Append(child, 1);
  EXPECT_EQ(MasksOf(parent), std::vector<SetMask>{Bits({1, 2, 3, 4}) | kNotASmallSet});
}

TEST(ElementHeadMasks, ChildAddedAfterTheMasksWereBuiltIsWatchedToo) {
  const Value parent = ListOf({ListOf({1})});
  ASSERT_EQ(MasksOf(parent).size(), 1u);

  const Value late = ListOf({5});
  parent.list().Push(late);
  ASSERT_EQ(MasksOf(parent), (std::vector<SetMask>{Bits({1}), Bits({5})}));

  Append(late, 6);
  EXPECT_EQ(MasksOf(parent), (std::vector<SetMask>{Bits({1}), Bits({5, 6})}));
}

TEST(ElementHeadMasks, EveryParentOfAChangedRowSeesTheChange) {
  const Value shared = ListOf({10});
  const Value first = ListOf({shared});
  const Value second = ListOf({ListOf({20}), shared});
  ASSERT_EQ(MasksOf(first), std::vector<SetMask>{Bits({10})});
  ASSERT_EQ(MasksOf(second), (std::vector<SetMask>{Bits({20}), Bits({10})}));

  Append(shared, 11);
  // Between the change and the next look, the parents grow as well.
  Append(first, 30);
  second.list().Push(ListOf({21}));
  EXPECT_EQ(MasksOf(first), (std::vector<SetMask>{Bits({10, 11}), kNotASmallSet}));
  EXPECT_EQ(MasksOf(second), (std::vector<SetMask>{Bits({20}), Bits({10, 11}), Bits({21})}));
}

TEST(ElementHeadMasks, ChangeToAGrandchildLeavesTheParentsOwnMasksRight) {
  // The parent's masks depend on its children's heads only; a change deeper
  // down may rebuild them but must not alter them.
  const Value grandchild = ListOf({7});
  const Value child = ListOf({1, grandchild});
  const Value parent = ListOf({child});
  const std::vector<SetMask> before = MasksOf(parent);
  ASSERT_EQ(MasksOf(child), (std::vector<SetMask>{kNotASmallSet, Bits({7})}));

  Append(grandchild, 8);
  EXPECT_EQ(MasksOf(parent), before);
  EXPECT_EQ(MasksOf(child), (std::vector<SetMask>{kNotASmallSet, Bits({7, 8})}));
}

}  // namespace
}  // namespace rt
