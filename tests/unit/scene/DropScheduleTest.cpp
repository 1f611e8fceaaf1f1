// The rain timer as a due time on the loop's clock, driven by a fake clock.
#include <gtest/gtest.h>

#include "scene/DropSchedule.h"
#include "tests/unit/scene/FakeClock.h"

namespace orlinde {
namespace {

TEST(DropScheduleTest, DropsOncePerIntervalFromWhenItWasArmed) {
  FakeClock clock;
  DropSchedule rain(clock);
  EXPECT_EQ(-1, rain.TimeUntilDrop(clock.now)) << "not armed";
  EXPECT_FALSE(rain.TakeDueDrop(clock.now + 10'000'000));
  rain.SetRainTimer(1000);
  EXPECT_EQ(1'000'000, rain.TimeUntilDrop(clock.now));
  EXPECT_FALSE(rain.TakeDueDrop(clock.now + 999'999));
  // A little late keeps the rhythm: the next one is still due at 2 s.
  EXPECT_TRUE(rain.TakeDueDrop(clock.now + 1'300'000));
  EXPECT_FALSE(rain.TakeDueDrop(clock.now + 1'300'000)) << "one drop per due time";
  EXPECT_EQ(700'000, rain.TimeUntilDrop(clock.now + 1'300'000));
  EXPECT_TRUE(rain.TakeDueDrop(clock.now + 2'000'000));
  EXPECT_EQ(1'000'000, rain.TimeUntilDrop(clock.now + 2'000'000));
}

TEST(DropScheduleTest, ALoopFarBehindGetsOneDropNotAPile) {
  FakeClock clock;
  DropSchedule rain(clock);
  rain.SetRainTimer(25);
  const Microseconds late = clock.now + 5'000'000;  // 200 intervals
  EXPECT_TRUE(rain.TakeDueDrop(late));
  EXPECT_FALSE(rain.TakeDueDrop(late));
  EXPECT_EQ(25'000, rain.TimeUntilDrop(late));
}

TEST(DropScheduleTest, ReArmingAndRestartingCountAWholeIntervalFromNow) {
  FakeClock clock;
  DropSchedule rain(clock);
  rain.SetRainTimer(1000);
  clock.now += 900'000;
  rain.SetRainTimer(100);  // keypad plus
  EXPECT_EQ(100'000, rain.TimeUntilDrop(clock.now));
  EXPECT_EQ(100'000, rain.Period());
  rain.Restart(clock.now + 60'000'000);
  EXPECT_FALSE(rain.TakeDueDrop(clock.now + 60'000'000));
  EXPECT_TRUE(rain.TakeDueDrop(clock.now + 60'100'000));
  rain.SetRainTimer(0);
  EXPECT_FALSE(rain.TakeDueDrop(clock.now + 100'000'000));
}

}  // namespace
}  // namespace orlinde
