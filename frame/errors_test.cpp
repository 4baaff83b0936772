// Spot checks of the two tables; the fault probe's end-to-end suites
// (tests/frame_test.cpp) check the reports that they make.

#include "frame/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace frame {
namespace {

TEST(ExceptionTable, KnownCodesControlCAndUnknownCodes) {
  EXPECT_EQ(error_number_for_exception(0xC0000005), 1);
  EXPECT_EQ(error_number_for_exception(0xC00000FD), 19);
  EXPECT_EQ(error_number_for_exception(0xC0000008), 22);
  EXPECT_EQ(error_number_for_exception(0xC000013A), kNoError);
  // Neighbours of known codes, and a code that shares only the low bits.
  for (const std::uint32_t code : {0xC0000007u, 0xC0000097u, 0xC000013Bu, 0x0000013Au}) {
    EXPECT_EQ(error_number_for_exception(code), kUnknownExceptionError) << std::hex << code;
  }
}

TEST(MessageTable, MessagesAndTheFallback) {
  EXPECT_EQ(std::string(error_message(6)), "float denormal operan");
  EXPECT_EQ(std::string(error_message(34)), "Bus error");
  EXPECT_EQ(std::string(error_message(95)), "no CATCH for THROW");
  EXPECT_EQ(std::string(error_message(101)), "no value matched in SWITCH");
  for (const std::int32_t number : {0, 35, 94, 102, INT32_MIN}) {
    EXPECT_EQ(std::string(error_message(number)), "unknown error code!") << number;
  }
}

}  // namespace
}  // namespace frame
