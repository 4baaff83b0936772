#include "runtime/value.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::ListOf;

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

// Past the first few elements a list moves them all to an array of its own,
// and again at each doubling: every element, of every kind, must survive.
TEST(List, KeepsEveryElementAsItGrows) {
  const Value inner = ListOf({1});
  const Value text = Value::MakeText("a text longer than a short string's own room");
  const ListRef list = MakeList();
  for (Integer i = 0; i < 100; ++i) {
    list->Push(i % 3 == 0 ? Value(i) : i % 3 == 1 ? text : inner);
    ASSERT_EQ(list->size(), static_cast<std::size_t>(i + 1));
    for (Integer j = 0; j <= i; ++j) {
      const Value& e = (*list)[static_cast<std::size_t>(j)];
      ASSERT_EQ(e, j % 3 == 0 ? Value(j) : j % 3 == 1 ? text : inner) << "element " << j << " of " << i + 1;
    }
  }
  // Appending a list to itself grows it while its elements are read.
  const Value five = ListOf({1, 2, 3, 4, 5});
  Append(five, five);
  EXPECT_EQ(test::IntegersOf(five), (std::vector<Integer>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
}

TEST(Value, CopiesOfATextShareIt) {
  const Value text = Value::MakeText("row");
  const Value other = text;  // NOLINT(performance-unnecessary-copy-initialization): the copy is the point
  EXPECT_EQ(&text.text(), &other.text());
  EXPECT_EQ(other.text(), "row");
}

}  // namespace
}  // namespace rt
