// The run switches read from the environment.
#include <stdlib.h>

#include <gtest/gtest.h>

#include "common/RunSwitches.h"

namespace orlinde {
namespace {

TEST(RunSwitchesTest, PacingIsSwitchedOffByExactlyOne) {
  unsetenv("ORLINDE_UNPACED");
  EXPECT_FALSE(PacingSwitchedOff()) << "unset";
  for (const char* value : {"", "0", "yes", "11", " 1"}) {
    setenv("ORLINDE_UNPACED", value, 1);
    EXPECT_FALSE(PacingSwitchedOff()) << '"' << value << '"';
  }
  setenv("ORLINDE_UNPACED", "1", 1);
  EXPECT_TRUE(PacingSwitchedOff());
  unsetenv("ORLINDE_UNPACED");
}

}  // namespace
}  // namespace orlinde
