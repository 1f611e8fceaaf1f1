// The decision that pauses the rain: a dark display or a sleeping system stops it, and only the end of
// both starts it again.
#include <gtest/gtest.h>

#include "scene/DisplayPower.h"

namespace orlinde {
namespace {

TEST(DisplayPowerTest, ADarkDisplayOrASleepPausesAndOnlyTheEndOfBothDrawsAgain) {
  DisplayPower power;
  EXPECT_TRUE(power.ShouldDraw());
  power.DisplayOff(true);
  EXPECT_FALSE(power.ShouldDraw());
  power.DisplayOff(false);
  EXPECT_TRUE(power.ShouldDraw());

  power.Suspending();
  EXPECT_FALSE(power.ShouldDraw());
  power.DisplayOff(false);
  EXPECT_FALSE(power.ShouldDraw()) << "asleep until the resume";
  power.Resumed();
  EXPECT_TRUE(power.ShouldDraw());
  power.DisplayOff(true);
  power.Resumed();
  EXPECT_FALSE(power.ShouldDraw()) << "a resume does not turn the display on";
}

}  // namespace
}  // namespace orlinde
