// The frame pacer driven by a fake clock through the renderer loop's own pattern: ask how long to wait,
// wait that long (in whole milliseconds, rounded up, as the program's message wait does), draw a frame
// that costs some time, repeat.
#include <gtest/gtest.h>
#include <vector>

#include "scene/FramePacer.h"
#include "tests/unit/scene/FakeClock.h"

namespace orlinde {
namespace {

struct Frame {
  Microseconds at;
  int steps;
};

class PacedLoop {
 public:
  PacedLoop(FakeClock& clock, int refreshHz, Microseconds drawCost, bool paced = true)
      : clock_(clock), pacer_(clock, paced ? FramePeriod(refreshHz) : 0), drawCost_(drawCost) {}

  // Runs the loop until `seconds` of fake time have passed; returns the frames drawn meanwhile.
  std::vector<Frame> Run(double seconds) {
    std::vector<Frame> frames;
    const Microseconds end = clock_.now + static_cast<Microseconds>(seconds * 1e6);
    while (clock_.now < end) {
      const Microseconds wait = pacer_.TimeUntilFrame();
      if (wait > 0) {
        clock_.now += (wait + 999) / 1000 * 1000;
        continue;
      }
      frames.push_back({clock_.now, pacer_.BeginFrame()});
      clock_.now += drawCost_;
    }
    return frames;
  }

  FramePacer& pacer() { return pacer_; }

 private:
  FakeClock& clock_;
  FramePacer pacer_;
  Microseconds drawCost_;
};

int TotalSteps(const std::vector<Frame>& frames) {
  int steps = 0;
  for (const Frame& f : frames) steps += f.steps;
  return steps;
}

// Over ten seconds on displays of 30, 60, 144 and 1000 Hz: the loop draws at the display's rate (never
// more frames than the display shows) and the scene advances 60 steps a second, spread evenly.
TEST(FramePacerTest, DrawsAtTheDisplaysRateAndStepsSixtyTimesASecond) {
  struct Case {
    int hz;
    int fewestStepsPerFrame;
    int mostStepsPerFrame;
  };
  for (const Case c : {Case{30, 2, 2}, Case{60, 1, 1}, Case{144, 0, 1}, Case{1000, 0, 1}}) {
    SCOPED_TRACE(c.hz);
    FakeClock clock;
    PacedLoop loop(clock, c.hz, 300);
    const std::vector<Frame> frames = loop.Run(10.0);
    EXPECT_LE(static_cast<int>(frames.size()), 10 * c.hz + 1);
    EXPECT_GE(static_cast<int>(frames.size()), 10 * c.hz * 95 / 100);
    // Steps are owed up to the last frame drawn.
    const double seconds = static_cast<double>(frames.back().at - frames.front().at) / 1e6;
    EXPECT_NEAR(60.0 * seconds, TotalSteps(frames), 1.0);
    EXPECT_GE(seconds, 9.9);
    // After the first frame each frame runs the steps its share of time holds: at 60 Hz exactly one,
    // although the waits round up to whole milliseconds.
    for (std::size_t n = 1; n < frames.size(); ++n) {
      EXPECT_GE(frames[n].steps, c.fewestStepsPerFrame) << "frame " << n;
      EXPECT_LE(frames[n].steps, c.mostStepsPerFrame) << "frame " << n;
    }
  }
}

TEST(FramePacerTest, ADisplayReportingNoRateIsPacedAsSixtyHertz) {
  for (int reported : {0, 1}) {
    FakeClock clock;
    PacedLoop loop(clock, reported, 300);
    const std::vector<Frame> frames = loop.Run(5.0);
    EXPECT_LE(frames.size(), 301u);
    EXPECT_GE(frames.size(), 290u);
  }
}

TEST(FramePacerTest, WithoutPacingEveryIdlePassDrawsAndTheSceneStillStepsSixtyTimesASecond) {
  FakeClock clock;
  PacedLoop loop(clock, 60, 500, /*paced=*/false);
  const std::vector<Frame> frames = loop.Run(3.0);
  EXPECT_EQ(6000u, frames.size());
  EXPECT_NEAR(180, TotalSteps(frames), 1);
}

TEST(FramePacerTest, FramesNeverWaitLongerThanAPeriod) {
  FakeClock clock;
  FramePacer pacer(clock, FramePeriod(60));
  pacer.BeginFrame();
  EXPECT_EQ(FramePeriod(60), pacer.TimeUntilFrame());
  clock.now += 10'000;
  EXPECT_EQ(FramePeriod(60) - 10'000, pacer.TimeUntilFrame());
  clock.now += 10'000;
  EXPECT_EQ(0, pacer.TimeUntilFrame());
}

// A frame that takes half a second runs at most the largest catch-up on the next frame and drops the
// rest; then the loop waits a whole period again instead of drawing frames back to back.
TEST(FramePacerTest, AStalledFrameCatchesUpAFewStepsAndDoesNotBurst) {
  FakeClock clock;
  PacedLoop loop(clock, 60, 300);
  loop.Run(1.0);
  FramePacer& pacer = loop.pacer();
  ASSERT_EQ(0, pacer.TimeUntilFrame());
  EXPECT_EQ(1, pacer.BeginFrame());
  clock.now += 500'000;  // the stalled frame
  EXPECT_EQ(0, pacer.TimeUntilFrame());
  EXPECT_EQ(kMaxStepsPerFrame, pacer.BeginFrame());
  EXPECT_EQ(FramePeriod(60), pacer.TimeUntilFrame());

  const std::vector<Frame> after = loop.Run(1.0);
  EXPECT_NEAR(60, static_cast<int>(after.size()), 1);
  EXPECT_NEAR(60, TotalSteps(after), 1);
  for (const Frame& f : after) EXPECT_EQ(1, f.steps);
}

// A slow machine that needs 40 ms per frame draws 25 frames a second, each catching up the steps it
// owes, so that the scene keeps its speed.
TEST(FramePacerTest, ASlowMachineKeepsTheScenesSpeedWithinTheCatchUpLimit) {
  FakeClock clock;
  PacedLoop loop(clock, 60, 40'000);
  const std::vector<Frame> frames = loop.Run(4.0);
  EXPECT_NEAR(100, static_cast<int>(frames.size()), 1);
  EXPECT_NEAR(240, TotalSteps(frames), 2);

  // At 100 ms a frame the cap holds: 4 steps a frame, the scene slows down to 40 steps a second.
  PacedLoop slower(clock, 60, 100'000);
  const std::vector<Frame> slow = slower.Run(4.0);
  EXPECT_NEAR(160, TotalSteps(slow), 4);
}

TEST(FramePacerTest, AClockJumpingForwardOrBackwardNeitherBurstsNorStalls) {
  FakeClock clock;
  PacedLoop loop(clock, 60, 300);
  loop.Run(1.0);
  FramePacer& pacer = loop.pacer();

  clock.now += 3'600'000'000;  // an hour ahead
  EXPECT_EQ(0, pacer.TimeUntilFrame());
  EXPECT_EQ(kMaxStepsPerFrame, pacer.BeginFrame());
  EXPECT_EQ(FramePeriod(60), pacer.TimeUntilFrame());

  clock.now -= 7'200'000'000;  // two hours back
  EXPECT_LE(pacer.TimeUntilFrame(), FramePeriod(60));
  clock.now += FramePeriod(60);
  EXPECT_EQ(0, pacer.TimeUntilFrame());
  EXPECT_EQ(0, pacer.BeginFrame());

  const std::vector<Frame> after = loop.Run(2.0);
  EXPECT_NEAR(120, static_cast<int>(after.size()), 1);
  EXPECT_NEAR(120, TotalSteps(after), 1);
}

}  // namespace
}  // namespace orlinde
