// The reader's limits where they meet the rest of the runtime, and the
// inputs that defeat a reader built on C strings or on wrapping arithmetic.
// The plain limits themselves (depth, length, the integer range) are in
// reader_test.cpp.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/reader.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::IntegersOf;
using Integers = std::vector<Integer>;
using namespace std::string_view_literals;

// The message of the error that reading `text` raises, or "" when it reads.
std::string ReadError(std::string_view text) {
  try {
    ReadList(text);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(ReaderLimits, EverythingReadableHasATextFormThatReadsBack) {
  // The deepest text the reader takes, inside the one list it returns, is
  // one level deeper still; the text form must not give up before that.
  const auto depth = static_cast<std::size_t>(kMaxReadDepth);
  const std::string deepest = std::string(depth, '[') + "1" + std::string(depth, ']');
  const Value read = ReadList(deepest);
  const std::string form = TextForm(read);
  EXPECT_EQ(form.substr(0, depth + 3), std::string(depth + 1, '[') + "1 ");
  EXPECT_EQ(TextForm(ReadList(TextForm(Element(read, 1)))), form);
}

TEST(ReaderLimits, LongIntegersOfSmallValueRead) {
  // As many digits as the length limit allows: the count of digits is no
  // measure of the value.
  const std::string zeros(kMaxReadLength - 2, '0');
  EXPECT_EQ(IntegersOf(ReadList(zeros + "7")), Integers{7});
  EXPECT_EQ(IntegersOf(ReadList("-" + zeros + "7")), Integers{-7});
}

TEST(ReaderLimits, IntegersThatWouldWrapAroundRaise) {
  // Taken modulo 2^64 these would read as 1, -1, 0 and 5.
  for (const std::string_view text :
       {"18446744073709551617"sv, "18446744073709551615"sv, "-18446744073709551616"sv, "[36893488147419103237 ]"sv}) {
    SCOPED_TRACE(text);
    EXPECT_NE(ReadError(text).find("out of range"), std::string::npos);
  }
}

TEST(ReaderLimits, NulBytesEndNothing) {
  // A reader that stopped at the first NUL would take each of these for a
  // complete row text.
  for (const std::string_view text : {"[1 2 ]\0"sv, "[1 2 ]\0[3 ]"sv, "[1 2 ]\0\0\0"sv}) {
    SCOPED_TRACE(text.size());
    EXPECT_NE(ReadError(text).find("stray byte 0 at byte 6"), std::string::npos) << ReadError(text);
  }
  EXPECT_NE(ReadError("\0[1 ]"sv).find("stray byte 0 at byte 0"), std::string::npos);
}

}  // namespace
}  // namespace rt
