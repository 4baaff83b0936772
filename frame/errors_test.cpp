#include "frame/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace frame {
namespace {

struct CodeCase {
  std::uint32_t code;
  std::int32_t error_number;
};

// Every exception code that the report knows, and its number.
constexpr CodeCase kKnownCodes[] = {
    {0xC0000005, 1},  {0x80000002, 2},  {0x80000003, 3},  {0x80000004, 4},  {0xC000008C, 5},
    {0xC000008D, 6},  {0xC000008E, 7},  {0xC000008F, 8},  {0xC0000090, 9},  {0xC0000091, 10},
    {0xC0000092, 11}, {0xC0000093, 12}, {0xC0000094, 13}, {0xC0000095, 14}, {0xC0000096, 15},
    {0xC0000006, 16}, {0xC000001D, 17}, {0xC0000025, 18}, {0xC00000FD, 19}, {0xC0000026, 20},
    {0x80000001, 21}, {0xC0000008, 22},
};

TEST(ExceptionTable, EveryKnownCodeHasItsNumber) {
  for (const CodeCase& c : kKnownCodes) {
    EXPECT_EQ(error_number_for_exception(c.code), c.error_number) << std::hex << c.code;
  }
}

TEST(ExceptionTable, ControlCExitIsNoError) {
  EXPECT_EQ(error_number_for_exception(0xC000013A), kNoError);
}

TEST(ExceptionTable, UnknownCodesGiveNinetyNine) {
  // Neighbours of known codes, and codes without any of their high bits.
  for (std::uint32_t code : {0x00000000u, 0x00000001u, 0x80000000u, 0x80000005u, 0xC0000000u, 0xC0000007u,
                             0xC000008Bu, 0xC0000097u, 0xC00000FCu, 0xC000013Bu, 0xFFFFFFFFu, 0x40010005u}) {
    EXPECT_EQ(error_number_for_exception(code), kUnknownExceptionError) << std::hex << code;
  }
}

struct MessageCase {
  std::int32_t error_number;
  const char* message;
};

// The whole message table, byte for byte, the clipped "operan" included.
constexpr MessageCase kMessages[] = {
    {1, "access violation"},
    {2, "invalid alignment"},
    {3, "breakpoint"},
    {4, "single step"},
    {5, "bounds exceeded"},
    {6, "float denormal operan"},
    {7, "float divide by zero"},
    {8, "float inexact result"},
    {9, "float invalid operation"},
    {10, "float overflow"},
    {11, "float stack check"},
    {12, "float underflow"},
    {13, "integer divide by zero"},
    {14, "integer overflow"},
    {15, "privileged instruction"},
    {16, "invalid virtual address"},
    {17, "illegal instruction"},
    {18, "non-continuable exception"},
    {19, "stack error or overflow"},
    {20, "invalid disposition"},
    {21, "guard page"},
    {22, "invalid handle"},
    {23, "illegal operand"},
    {24, "illegal addressing mode"},
    {25, "illegal trap"},
    {26, "coprocessor error"},
    {27, "non-existent physical address"},
    {28, "object specific hardware error"},
    {29, "hardware memory error consumed AR"},
    {30, "hardware memory error consumed AO"},
    {31, "privileged register"},
    {32, "segmentation fault"},
    {33, "FPU error"},
    {34, "Bus error"},
    {95, "no CATCH for THROW"},
    {98, "assertion failed"},
    {99, "unknown error"},
    {100, "no value matched in CASE"},
    {101, "no value matched in SWITCH"},
};

TEST(MessageTable, EveryNumberHasItsMessage) {
  for (const MessageCase& c : kMessages) {
    EXPECT_EQ(std::string(error_message(c.error_number)), c.message) << c.error_number;
  }
}

TEST(MessageTable, NumbersOutsideTheTableHaveTheFallback) {
  // The gaps between the table's ranges, its edges, and far outside them.
  for (std::int32_t number : {-1, 0, 35, 94, 96, 97, 102, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(std::string(error_message(number)), "unknown error code!") << number;
  }
}

}  // namespace
}  // namespace frame
