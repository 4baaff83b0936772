#include "runtime/throw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/record.h"

namespace rt {
namespace {

// Which frame took a throw of `value` from inside nested frames with the
// given limits, listed outermost first: the frame's index, or -1 for none.
int TakerOf(std::uint32_t value, std::uint32_t outer, std::uint32_t inner) {
  int taker = -1;
  try {
    Catch(
        outer,
        [&] {
          Catch(
              inner, [&] { Throw(value); }, [&] { taker = 1; });
        },
        [&] { taker = 0; });
  } catch (const Thrown&) {
  }
  return taker;
}

TEST(Throw, LeavesTheValueInTheRecordAndCarriesIt) {
  system[kThrownValueWord] = 0;
  try {
    Throw(12345);
    ADD_FAILURE() << "Throw returned";
  } catch (const Thrown& thrown) {
    EXPECT_EQ(thrown.value, 12345u);
  }
  EXPECT_EQ(system[kThrownValueWord], 12345u);
}

TEST(Throw, HaltThrowsTheQuitMarker) {
  system[kThrownValueWord] = 0;
  try {
    halt();
    ADD_FAILURE() << "halt returned";
  } catch (const Thrown& thrown) {
    EXPECT_EQ(thrown.value, kQuitMarker);
  }
  EXPECT_EQ(system[kThrownValueWord], Word{0x0BADCAFE});
}

TEST(Catch, InnermostFrameWhoseLimitIsNotBelowTheValueTakesIt) {
  EXPECT_EQ(TakerOf(5, 10, 10), 1);
  EXPECT_EQ(TakerOf(10, 100, 10), 1);  // equal to the limit is not above it
  EXPECT_EQ(TakerOf(0, 0, 0), 1);
}

TEST(Catch, FrameWithALowerLimitPassesTheThrowOn) {
  EXPECT_EQ(TakerOf(11, 100, 10), 0);
  EXPECT_EQ(TakerOf(kQuitMarker, kCatchEverything, 1000), 0);
  EXPECT_EQ(TakerOf(101, 100, 10), -1);
}

TEST(Catch, LimitsAreComparedAsUnsigned32BitNumbers) {
  // Read as signed, 0x80000000 and 0xFFFFFFFF would be negative and below
  // every positive limit.
  EXPECT_EQ(TakerOf(0x80000000u, kCatchEverything, 0x7FFFFFFFu), 0);
  EXPECT_EQ(TakerOf(0xFFFFFFFFu, kCatchEverything, 0xFFFFFFFEu), 0);
  EXPECT_EQ(TakerOf(0xFFFFFFFFu, 0, kCatchEverything), 1);
  EXPECT_EQ(TakerOf(0x7FFFFFFFu, 0, 0x80000000u), 1);
}

TEST(Catch, HandlerRunsOnlyForATakenThrowAndBodyRunsOnce) {
  int bodies = 0;
  int handlers = 0;
  Catch(
      kCatchEverything, [&] { ++bodies; }, [&] { ++handlers; });
  EXPECT_EQ(bodies, 1);
  EXPECT_EQ(handlers, 0);

  std::string order;
  Catch(
      kCatchEverything,
      [&] {
        order += "body ";
        Throw(1);
      },
      [&] { order += "handler"; });
  EXPECT_EQ(order, "body handler");
}

TEST(Catch, RootScopeTakesTheQuitMarkerFromHalt) {
  bool quit = false;
  Catch(
      kCatchEverything, [] { halt(); }, [&] { quit = system[kThrownValueWord] == kQuitMarker; });
  EXPECT_TRUE(quit);
}

}  // namespace
}  // namespace rt
