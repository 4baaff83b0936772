#include "runtime/operations.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::IntegersOf;
using test::ListOf;
using Integers = std::vector<Integer>;

constexpr Integer kMax = std::numeric_limits<Integer>::max();
constexpr Integer kMin = std::numeric_limits<Integer>::min();

TEST(Copy, NewListWithTheSameElements) {
  const Value inner = ListOf({9});
  const Value original = ListOf({1, inner, Value::MakeText("t")});
  const Value copy = Copy(original);

  EXPECT_NE(copy, original);  // another list object
  ASSERT_EQ(Length(copy), 3);
  EXPECT_EQ(Element(copy, 1), Value(Integer{1}));
  EXPECT_EQ(Element(copy, 2), inner);  // elements are shared, not copied
  EXPECT_EQ(Element(copy, 3), Value::MakeText("t"));
}

TEST(Copy, AppendingToTheCopyNeverChangesTheOriginal) {
  const Value literal = MakeList();
  const Value first = Copy(literal);
  Append(first, 5);
  Append(first, ListOf({6, 7}));
  const Value second = Copy(literal);
  Append(second, 8);

  EXPECT_EQ(Length(literal), 0);
  EXPECT_EQ(IntegersOf(first), (Integers{5, 6, 7}));
  EXPECT_EQ(IntegersOf(second), Integers{8});
}

TEST(Copy, AppendingToTheOriginalNeverChangesTheCopy) {
  const Value original = ListOf({1, 2});
  const Value copy = Copy(original);
  Append(original, 3);
  EXPECT_EQ(IntegersOf(copy), (Integers{1, 2}));
}

TEST(Copy, OfANonListRaises) {
  EXPECT_THROW(Copy(Integer{1}), Error);
  EXPECT_THROW(Copy(Value::MakeText("[]")), Error);
  EXPECT_THROW(Copy(Value()), Error);
}

TEST(Append, AListValueAddsItsElementsOneByOne) {
  const Value target = ListOf({1});
  Append(target, ListOf({2, 3, 4}));
  EXPECT_EQ(IntegersOf(target), (Integers{1, 2, 3, 4}));

  Append(target, MakeList());
  EXPECT_EQ(Length(target), 4);
}

TEST(Append, AListHoldingOneListAddsThatListAsOneElement) {
  const Value row = ListOf({12, 5, 33});
  const Value rows = MakeList();
  Append(rows, ListOf({row}));
  ASSERT_EQ(Length(rows), 1);
  EXPECT_EQ(Element(rows, 1), row);
}

TEST(Append, AnythingElseIsAddedAsOneElement) {
  const Value target = MakeList();
  Append(target, 7);
  Append(target, Value::MakeText("seven"));
  Append(target, Value());
  ASSERT_EQ(Length(target), 3);
  EXPECT_EQ(Element(target, 1), Value(Integer{7}));
  EXPECT_EQ(Element(target, 2), Value::MakeText("seven"));
  // The absent value is held as an element, so the length counts it; reading
  // it back gives an absent value again.
  EXPECT_TRUE(Element(target, 3).is_absent());
}

TEST(Append, AListToItselfDoublesIt) {
  const Value list = ListOf({1, 2, 3});
  Append(list, list);
  EXPECT_EQ(IntegersOf(list), (Integers{1, 2, 3, 1, 2, 3}));

  const Value empty = MakeList();
  Append(empty, empty);
  EXPECT_EQ(Length(empty), 0);
}

TEST(Append, ToANonListRaises) {
  EXPECT_THROW(Append(Integer{1}, 2), Error);
  EXPECT_THROW(Append(Value::MakeText("a"), 2), Error);
  EXPECT_THROW(Append(Value(), 2), Error);
}

TEST(Length, CountsElements) {
  EXPECT_EQ(Length(MakeList()), 0);
  EXPECT_EQ(Length(ListOf({ListOf({1, 2, 3}), 4})), 2);
  EXPECT_THROW(Length(Integer{3}), Error);
  EXPECT_THROW(Length(Value::MakeText("abc")), Error);
}

TEST(Element, OneBasedAndAbsentOutsideTheList) {
  const Value list = ListOf({10, 20, 30});
  EXPECT_EQ(Element(list, 1), Value(Integer{10}));
  EXPECT_EQ(Element(list, 3), Value(Integer{30}));

  for (const Integer outside : {Integer{0}, Integer{-1}, Integer{4}, Integer{8}, kMax, kMin}) {
    SCOPED_TRACE(outside);
    EXPECT_TRUE(Element(list, outside).is_absent());
  }
  EXPECT_TRUE(Element(MakeList(), 1).is_absent());
  EXPECT_THROW(Element(Integer{1}, 1), Error);
}

TEST(Iteration, VisitsEveryElementInOrder) {
  const Value list = ListOf({3, 1, 2});
  std::vector<Integer> seen;
  for (const Value& e : list.list()) seen.push_back(e.integer());
  EXPECT_EQ(seen, (Integers{3, 1, 2}));
}

TEST(Arithmetic, ExactWithinRange) {
  EXPECT_EQ(Add(2, 3), 5);
  EXPECT_EQ(Add(-7, 3), -4);
  EXPECT_EQ(Add(kMax, 0), kMax);
  EXPECT_EQ(Add(kMax, kMin), -1);
  EXPECT_EQ(Multiply(1000, 2), 2000);
  EXPECT_EQ(Multiply(-3, 4), -12);
  EXPECT_EQ(Multiply(kMin, 1), kMin);
  EXPECT_EQ(Multiply(Integer{1} << 31, Integer{1} << 31), Integer{1} << 62);
}

TEST(Arithmetic, OverflowRaisesNeverWraps) {
  EXPECT_THROW(Add(kMax, 1), Error);
  EXPECT_THROW(Add(kMin, -1), Error);
  EXPECT_THROW(Add(kMax, kMax), Error);
  EXPECT_THROW(Multiply(kMax, 2), Error);
  EXPECT_THROW(Multiply(kMin, -1), Error);
  EXPECT_THROW(Multiply(Integer{1} << 32, Integer{1} << 31), Error);
  EXPECT_THROW(Multiply(kMin, 2), Error);
  try {
    Add(kMax, 1);
  } catch (const Error& e) {
    EXPECT_EQ(e.status(), kRuntimeErrorStatus);
  }
}

TEST(TextForm, IntegersAsPlainDecimal) {
  EXPECT_EQ(TextForm(Integer{0}), "0");
  EXPECT_EQ(TextForm(Integer{40}), "40");
  EXPECT_EQ(TextForm(Integer{-12}), "-12");
  EXPECT_EQ(TextForm(kMax), "9223372036854775807");
  EXPECT_EQ(TextForm(kMin), "-9223372036854775808");
}

TEST(TextForm, TextsAsTheyStandListsBracketedWithASpaceAfterEach) {
  EXPECT_EQ(TextForm(Value::MakeText(" saa noin ")), " saa noin ");
  EXPECT_EQ(TextForm(ListOf({1, 2})), "[1 2 ]");
  EXPECT_EQ(TextForm(MakeList()), "[]");
  EXPECT_EQ(TextForm(ListOf({ListOf({1}), Value::MakeText("a"), MakeList()})), "[[1 ] a [] ]");
}

TEST(TextForm, NestingUpToTheLimitHasOneDeeperHasNone) {
  // `levels` lists, each holding the next, the innermost holding 1.
  const auto nested = [](int levels) {
    Value v = Integer{1};
    for (int i = 0; i < levels; ++i) v = ListOf({v});
    return v;
  };
  std::string closing = "]";
  for (int i = 1; i < kMaxTextFormDepth; ++i) closing += " ]";
  EXPECT_EQ(TextForm(nested(kMaxTextFormDepth)),
            std::string(static_cast<std::size_t>(kMaxTextFormDepth), '[') + "1 " + closing);
  EXPECT_THROW(TextForm(nested(kMaxTextFormDepth + 1)), Error);
}

TEST(TextForm, AbsentHasNoneEvenInsideAList) {
  EXPECT_THROW(TextForm(Value()), Error);
  EXPECT_THROW(TextForm(ListOf({1, Value()})), Error);
}

TEST(Join, ConcatenatesTextFormsWithNothingBetween) {
  const Value items[] = {Value::MakeText("Vahintaan "), 3, Value::MakeText(" saa noin "), 48,
                         Value::MakeText(":lla rivilla")};
  EXPECT_EQ(Join(items).text(), "Vahintaan 3 saa noin 48:lla rivilla");
  const Value mixed[] = {ListOf({1, 2}), -1, Value::MakeText("")};
  EXPECT_EQ(Join(mixed).text(), "[1 2 ]-1");
  EXPECT_EQ(Join({}).text(), "");
}

TEST(Join, ANewTextEachTime) {
  const Value part = Value::MakeText("x");
  const Value items[] = {part, 1};
  const Value first = Join(items);
  const Value second = Join(items);
  EXPECT_EQ(first, second);
  EXPECT_NE(&first.text(), &second.text());
  const Value single[] = {part};
  EXPECT_NE(&Join(single).text(), &part.text());
  EXPECT_EQ(part.text(), "x");
}

TEST(Join, AnAbsentItemRaises) {
  const Value items[] = {Value::MakeText("a"), Value()};
  EXPECT_THROW(Join(items), Error);
}

}  // namespace
}  // namespace rt
