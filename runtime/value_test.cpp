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

// The element head masks of a list, checked against their union on the way.
std::vector<SetMask> MasksOf(const Value& list) {
  const std::span<const SetMask> masks = list.list().element_head_masks();
  SetMask all = 0;
  for (const SetMask m : masks) all |= m;
  EXPECT_EQ(list.list().element_head_masks_union(), all);
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
  const Value same = a;  // NOLINT(performance-unnecessary-copy-initialization): the copy is the point
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

TEST(Value, CopiesOfATextShareIt) {
  const Value text = Value::MakeText("row");
  const Value other = text;  // NOLINT(performance-unnecessary-copy-initialization): the copy is the point
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

TEST(ElementHeadMasks, UnionAloneSeesAChangedChild) {
  const Value child = ListOf({1, 2});
  const Value parent = ListOf({child, ListOf({3})});
  ASSERT_EQ(parent.list().element_head_masks_union(), Bits({1, 2, 3}));

  Append(child, 1);
  EXPECT_EQ(parent.list().element_head_masks_union(), Bits({1, 2, 3}) | kNotASmallSet);
  EXPECT_EQ(MakeList()->element_head_masks_union(), 0u);
}

TEST(MaskExcludes, OnlyForASmallIntegerOutsideASmallSet) {
  const Value small_set = ListOf({1, 2, 40});
  const Value not_small = ListOf({1, 2, 64});
  const struct {
    const char* what;
    const Value& list;
    Value v;
    bool excludes;
  } cases[] = {
      {"an integer outside", small_set, 3, true},
      {"the highest bit outside", small_set, 63, true},
      {"an integer inside", small_set, 40, false},
      {"an integer past the bits", small_set, 64, false},
      {"zero", small_set, 0, false},
      {"a negative integer", small_set, -1, false},
      {"a text", small_set, Value::MakeText("3"), false},
      {"the absent value", small_set, Value(), false},
      {"a list that is no small set", not_small, 3, false},
      {"the empty list", ListOf({}), 5, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.list.list().MaskExcludes(c.v), c.excludes);
  }
}

TEST(MaskExcludes, FollowsTheListAsItGrows) {
  const Value list = ListOf({1});
  EXPECT_TRUE(list.list().MaskExcludes(5));
  Append(list, 5);
  EXPECT_FALSE(list.list().MaskExcludes(5));
  EXPECT_TRUE(list.list().MaskExcludes(6));
  Append(list, 1);  // no longer a set: the mask can exclude nothing
  EXPECT_FALSE(list.list().MaskExcludes(6));
}

}  // namespace
}  // namespace rt
