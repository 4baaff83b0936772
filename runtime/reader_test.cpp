#include "runtime/reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::IntegersOf;
using Integers = std::vector<Integer>;

// `depth` brackets opened around one integer and closed again.
std::string Nested(int depth) {
  const auto n = static_cast<std::size_t>(depth);
  return std::string(n, '[') + "1" + std::string(n, ']');
}

// The message of the error that reading `text` raises, or "" when it reads.
std::string ReadError(std::string_view text) {
  try {
    ReadList(text);
  } catch (const Error& e) {
    EXPECT_EQ(e.status(), kRuntimeErrorStatus);
    return e.what();
  }
  return "";
}

TEST(ReadList, RowTextIsOneListHoldingTheSevenIntegersInOrder) {
  const Value read = ReadList("[12 5 33 7 21 40 2 ]");
  ASSERT_EQ(Length(read), 1);
  const Value row = Element(read, 1);
  ASSERT_TRUE(row.is_list());
  EXPECT_EQ(IntegersOf(row), (Integers{12, 5, 33, 7, 21, 40, 2}));
}

TEST(ReadList, EachReadMakesNewLists) {
  const std::string_view text = "[1 2 3 4 5 6 7 ]";
  const Value first = ReadList(text);
  const Value second = ReadList(text);
  EXPECT_NE(first, second);
  EXPECT_NE(Element(first, 1), Element(second, 1));
  EXPECT_EQ(IntegersOf(Element(first, 1)), IntegersOf(Element(second, 1)));
}

TEST(ReadList, TopLevelValuesAndWhiteSpace) {
  EXPECT_EQ(IntegersOf(ReadList("1 2 3")), (Integers{1, 2, 3}));
  EXPECT_EQ(IntegersOf(ReadList(" \t\r\n-4\n 0 -0 007 ")), (Integers{-4, 0, 0, 7}));
}

TEST(ReadList, BracketsNeedNoSpaceAroundThem) {
  // Read back through the text form, which shows every level.
  EXPECT_EQ(TextForm(ReadList("[1[2]3]")), "[[1 [2 ] 3 ] ]");
  EXPECT_EQ(TextForm(ReadList("[][ ]")), "[[] [] ]");
  EXPECT_EQ(TextForm(ReadList("4[-5]")), "[4 [-5 ] ]");
}

TEST(ReadList, TextFormReadsBackAsTheSameList) {
  const std::string form = "[[12 5 33 7 21 40 2 ] [1 2 3 4 5 6 7 ] [] [-9 [8 ] ] ]";
  EXPECT_EQ(TextForm(Element(ReadList(form), 1)), form);
}

TEST(ReadList, LimitsOfTheIntegerRangeAreReadable) {
  EXPECT_EQ(IntegersOf(ReadList("9223372036854775807 -9223372036854775808")),
            (Integers{std::numeric_limits<Integer>::max(), std::numeric_limits<Integer>::min()}));
}

TEST(ReadList, NestingUpToTheLimitIsReadable) {
  const Value read = ReadList(Nested(kMaxReadDepth));
  Value v = read;
  for (int level = 0; level < kMaxReadDepth; ++level) {
    ASSERT_EQ(Length(v), 1);
    v = Element(v, 1);
  }
  EXPECT_EQ(IntegersOf(v), Integers{1});
}

TEST(ReadList, TextOfTheLongestLengthIsReadable) {
  std::string text(kMaxReadLength, ' ');
  text.front() = '[';
  text.back() = ']';
  text[1] = '5';
  const Value read = ReadList(text);
  EXPECT_EQ(IntegersOf(Element(read, 1)), Integers{5});
}

TEST(ReadList, UnreadableTextsRaiseAndNameThePlace) {
  using namespace std::string_view_literals;
  const struct {
    const char* what;
    std::string_view text;
    const char* place;  // the part of the message that locates the fault
  } cases[] = {
      {"an empty text", "", "no value"},
      {"a blank text", " \t\n\r ", "no value"},
      {"an unclosed bracket", "[1 2", "never closed"},
      {"an unclosed inner bracket", "[[1] 2", "never closed"},
      {"a lone open bracket", "[", "never closed"},
      {"a stray close bracket", "1 2]", "at byte 3"},
      {"one close bracket too many", "[1 2]]", "at byte 5"},
      {"a lone close bracket", "]", "at byte 0"},
      {"a letter", "[1 a]", "at byte 3"},
      {"a comma", "[1,2]", "at byte 2"},
      {"a letter glued to a number", "[12x ]", "at byte 3"},
      {"a plus sign", "+1", "at byte 0"},
      {"a lone minus sign", "[1 - 2]", "at byte 3"},
      {"two minus signs", "--1", "at byte 0"},
      {"a minus sign at the end", "1 -", "at byte 2"},
      {"a minus sign before a bracket", "-[1]", "at byte 0"},
      {"a decimal point", "1.5", "at byte 1"},
      {"a NUL byte", "[1 \0 2]"sv, "at byte 3"},
      {"a NUL byte after a number", "[1\0 2]"sv, "at byte 2"},
      {"a byte above ASCII", "[1 \xC3\xA4]", "at byte 3"},
      {"one past the largest integer", "9223372036854775808", "out of range"},
      {"one below the smallest integer", "-9223372036854775809", "out of range"},
      {"a huge number", "[1 99999999999999999999999 ]", "out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = ReadError(c.text);
    EXPECT_NE(message.find("cannot read text as a list"), std::string::npos) << message;
    EXPECT_NE(message.find(c.place), std::string::npos) << message;
  }
}

TEST(ReadList, TextLongerThanTheLimitRaisesBeforeReading) {
  // Readable but for its length.
  const std::string text = "[1 ]" + std::string(kMaxReadLength - 3, ' ');
  EXPECT_NE(ReadError(text).find("longer than"), std::string::npos);
}

TEST(ReadList, NestingPastTheLimitRaises) {
  EXPECT_NE(ReadError(Nested(kMaxReadDepth + 1)).find("nested deeper"), std::string::npos);
  // Far past it, where a recursive reader would run out of stack.
  EXPECT_NE(ReadError(std::string(100000, '[')).find("nested deeper"), std::string::npos);
}

}  // namespace
}  // namespace rt
