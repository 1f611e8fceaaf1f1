// The frame body both programs' loops call, driven by a fake clock the way the programs drive it: ask how
// long to sleep, sleep that long (whole milliseconds, rounded up, as the Windows wait does), turn.
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "scene/FrameLoop.h"
#include "tests/unit/scene/FakeClock.h"

namespace orlinde {
namespace {

// Counts paints per view and keeps a copy of the heights each paint showed; frames begun and ended.
class RecordingPainter final : public ViewPainter {
 public:
  void BeginFrame() override { ++begun; }
  void PaintView(SceneView& view) override {
    const std::size_t index = view.place.target;
    if (paints.size() <= index) paints.resize(index + 1);
    ++paints[index];
    lastHeights.assign(&view.scene.HeightGrid[0][0], &view.scene.HeightGrid[0][0] + kGridSize * kGridSize);
  }
  void EndFrame() override { ++ended; }
  std::vector<int> paints;
  std::vector<float> lastHeights;
  int begun = 0;
  int ended = 0;
};

// Counts the checks and the steps of the frames it is asked after; ends the program when told to.
class CountingEnds final : public EndCheck {
 public:
  bool ShouldEnd(const TurnOutcome& turn) override {
    ++checks;
    steps += turn.steps;
    return end;
  }
  int checks = 0;
  int steps = 0;
  bool end = false;
};

// Targets with no GL behind them: every view is its own target.
class NoGlTargets final : public ViewTargets {
 public:
  void MakeCurrent(std::size_t) override {}
  std::uint32_t SetUpTarget(const BitmapPixels&) override { return 1; }
  void ReleaseTexture(std::uint32_t) override {}
};

BitmapPixels SomePixels() {
  BitmapPixels pixels;
  pixels.width = pixels.height = 4;
  pixels.pixels.assign(4 * 4 * 3, 0x80);
  return pixels;
}

int Drops(const RainScene& scene) {
  int drops = 0;
  for (const auto& row : scene.VelocityGrid)
    for (float v : row) drops += v == kDropImpulse;
  return drops;
}

bool Still(const RainScene& scene) {
  for (const auto& row : scene.VelocityGrid)
    for (float v : row)
      if (v != 0.0f) return false;
  return true;
}

struct Tally {
  int frames = 0;
  int steps = 0;
  int framesWithoutStep = 0;
  int checks = 0;
  Microseconds longestWait = 0;
};

class Loop {
 public:
  Loop(int reportedHz, bool paced, int views = 1, std::int32_t rainInterval = 1000, Microseconds leastPeriod = 0)
      : views_(clock, SomePixels(), rainInterval, 11) {
    std::vector<ViewPlace> places;
    for (int k = 0; k < views; ++k) places.push_back(ViewPlace::Whole(static_cast<std::size_t>(k), 640, 480));
    views_.Arrange(places, targets_);
    frames = std::make_unique<FrameLoop>(clock, ChooseFramePeriod(reportedHz, paced, leastPeriod), views_);
  }

  // Runs the loop for `seconds` of fake time; each drawn frame costs `drawCost`.
  Tally Run(double seconds, Microseconds drawCost = 300) {
    Tally tally;
    const int checksBefore = ends.checks;
    const int framesBefore = painter.ended;
    const Microseconds end = clock.now + static_cast<Microseconds>(seconds * 1e6);
    while (clock.now < end) {
      const Microseconds wait = frames->TimeUntilDue();
      if (wait > tally.longestWait) tally.longestWait = wait;
      if (wait > 0) {
        clock.now += (wait + 999) / 1000 * 1000;
        continue;
      }
      const int before = painter.ended;
      const int stepsBefore = ends.steps;
      frames->Turn(keys, painter, ends);
      if (painter.ended > before) {
        const int steps = ends.steps - stepsBefore;
        tally.steps += steps;
        // The very first frame comes at once, before a step is owed.
        tally.framesWithoutStep += steps == 0 && framesSoFar_ > 0;
        ++framesSoFar_;
        clock.now += drawCost;
      }
    }
    tally.frames = painter.ended - framesBefore;
    tally.checks = ends.checks - checksBefore;
    return tally;
  }

  RainScene& scene(int k = 0) { return views_[static_cast<std::size_t>(k)].scene; }
  SceneViews& views() { return views_; }

  FakeClock clock;
  SceneKeys keys;
  RecordingPainter painter;
  CountingEnds ends;
  std::unique_ptr<FrameLoop> frames;

 private:
  NoGlTargets targets_;
  SceneViews views_;
  int framesSoFar_ = 0;
};

// Frames per simulated minute: never more than the scene's 3,600 steps, whatever the display's rate; a
// display slower than 60 Hz keeps its own rate, and 0 and 1 (no rate known) count as 60 Hz.
TEST(FrameLoopTest, DrawsAtMostOneFramePerSceneStepAndASlowDisplayAtItsOwnRate) {
  struct Case {
    int hz;
    int framesPerMinute;
  };
  for (const Case c : {Case{0, 3600}, Case{1, 3600}, Case{30, 1800}, Case{50, 3000}, Case{60, 3600}, Case{75, 3600},
                       Case{120, 3600}, Case{144, 3600}, Case{240, 3600}}) {
    SCOPED_TRACE(c.hz);
    Loop loop(c.hz, true);
    const Tally minute = loop.Run(60.0);
    std::printf("%3d Hz: %d frames, %d steps in a simulated minute\n", c.hz, minute.frames, minute.steps);
    EXPECT_LE(minute.frames, c.framesPerMinute + 1);
    EXPECT_GE(minute.frames, c.framesPerMinute * 99 / 100);
    EXPECT_NEAR(3600, minute.steps, 2) << "the scene keeps its speed";
    if (c.hz == 0 || c.hz >= 60) {
      EXPECT_EQ(0, minute.framesWithoutStep) << "a frame that repeats the last picture";
    }
  }
}

TEST(FrameLoopTest, UnpacedDrawsWheneverTheLoopTurnsAndStillStepsSixtyTimesASecond) {
  Loop loop(144, /*paced=*/false);
  const Tally second = loop.Run(1.0, 500);
  EXPECT_EQ(2000, second.frames);
  EXPECT_NEAR(60, second.steps, 1);
}

// Drops land when the rain timer says, not only with frames: with a second between frames (a long
// --delay) and the fastest rain, 36 drops wait on the surface for the next frame's steps.
TEST(FrameLoopTest, TheRainTimerDropsOnTimeBetweenFramesAndAKeypadPressRearmsIt) {
  Loop loop(60, true, 1, 25, 1'000'000);
  EXPECT_EQ(1, loop.Run(0.001).frames);
  const Tally between = loop.Run(0.9);
  EXPECT_EQ(0, between.frames);
  EXPECT_NEAR(36, Drops(loop.scene()), 1) << "random cells may repeat";

  loop.keys[SceneKey::kRainSlower] = true;
  loop.Run(0.2);
  EXPECT_FALSE(loop.keys[SceneKey::kRainSlower]) << "acts once per press";
  EXPECT_EQ(125, loop.scene().RainInterval);
}

// While the display is off: no frame, no step, no drop, however long; end checks still come at least
// 20 times a second; afterwards the loop resumes with one step a frame and the rain's own rhythm.
TEST(FrameLoopTest, ADisplayOffPeriodDrawsNothingAddsNoDropAndResumesWithoutCatchUp) {
  Loop loop(60, true, 1, 25);  // the fastest rain: a drop every 25 ms
  loop.Run(2.0);
  const std::vector<int> paintsBefore = loop.painter.paints;
  loop.frames->SetDrawing(false);
  const std::vector<float> still(&loop.scene().HeightGrid[0][0], &loop.scene().HeightGrid[0][0] + 64 * 64);
  std::vector<float> velocities(&loop.scene().VelocityGrid[0][0], &loop.scene().VelocityGrid[0][0] + 64 * 64);
  loop.keys[SceneKey::kLeft] = true;
  const float turn = loop.scene().TurnAngle;

  const Tally off = loop.Run(30.0);
  EXPECT_EQ(0, off.frames);
  EXPECT_EQ(paintsBefore, loop.painter.paints);
  EXPECT_EQ(still, std::vector<float>(&loop.scene().HeightGrid[0][0], &loop.scene().HeightGrid[0][0] + 64 * 64));
  EXPECT_EQ(velocities,
            std::vector<float>(&loop.scene().VelocityGrid[0][0], &loop.scene().VelocityGrid[0][0] + 64 * 64))
      << "no drop landed";
  EXPECT_EQ(turn, loop.scene().TurnAngle) << "no step turned the surface";
  EXPECT_GE(off.checks, 20 * 30);
  EXPECT_LE(off.longestWait, kLongestIdleWait);
  loop.frames->Repaint(loop.painter);
  EXPECT_EQ(paintsBefore, loop.painter.paints) << "an exposed window stays undrawn while the display is off";

  loop.keys[SceneKey::kLeft] = false;
  loop.frames->SetDrawing(true);
  const Tally first = loop.Run(0.001);
  EXPECT_EQ(1, first.frames) << "the first frame comes at once";
  EXPECT_EQ(0, first.steps) << "and owes nothing for the time paused";
  EXPECT_EQ(velocities,
            std::vector<float>(&loop.scene().VelocityGrid[0][0], &loop.scene().VelocityGrid[0][0] + 64 * 64))
      << "no drop piled up while paused";
  const Tally after = loop.Run(1.0);
  EXPECT_NEAR(60, after.frames, 1);
  EXPECT_NEAR(60, after.steps, 1);
  EXPECT_EQ(0, after.framesWithoutStep);
}

TEST(FrameLoopTest, ARepaintDrawsEveryViewAsItStandsWithoutAStep) {
  Loop loop(60, true, 2);
  loop.Run(0.5);
  const std::vector<int> before = loop.painter.paints;
  ASSERT_EQ(2u, before.size());
  AddDropAt(loop.scene(1), 20, 20);
  const float height = loop.scene(1).HeightGrid[20][20];
  loop.frames->Repaint(loop.painter);
  EXPECT_EQ((std::vector<int>{before[0] + 1, before[1] + 1}), loop.painter.paints);
  EXPECT_EQ(height, loop.scene(1).HeightGrid[20][20]) << "no step ran";
}

// Several views on one loop: each steps and is painted once a frame; a press acts on every view once.
TEST(FrameLoopTest, SeveralViewsStepTogetherAndShareEachPress) {
  Loop loop(144, true, 3);
  const Tally second = loop.Run(1.0);
  EXPECT_EQ((std::vector<int>{second.frames, second.frames, second.frames}), loop.painter.paints);
  loop.keys[SceneKey::kRainFaster] = true;
  loop.Run(0.02);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(900, loop.scene(k).RainInterval) << k;
  EXPECT_FALSE(loop.keys[SceneKey::kRainFaster]);
}

// The end check comes after the frame and before the keys that act once per press: Escape held with Space
// ends the program without a last drop, and the press is left as it was.
TEST(FrameLoopTest, TheEndCheckComesBeforeTheKeysThatActOncePerPress) {
  Loop loop(60, true, 1, 0);  // no rain of its own: every drop is the key's
  loop.Run(0.1);
  loop.keys[SceneKey::kDrop] = true;
  loop.keys[SceneKey::kRainFaster] = true;
  loop.ends.end = true;
  loop.Run(0.02);
  EXPECT_TRUE(Still(loop.scene())) << "no drop fell";
  EXPECT_EQ(0, loop.scene().RainInterval) << "the rate is as it was";
  EXPECT_TRUE(loop.keys[SceneKey::kDrop]);

  loop.ends.end = false;
  loop.Run(0.02);
  EXPECT_FALSE(Still(loop.scene())) << "a program that goes on lets the press act";
  EXPECT_FALSE(loop.keys[SceneKey::kDrop]);
}

// With no view at all (a window on no monitor of the layout) no frame is drawn, the loop sleeps its
// longest, the end checks still come, and a repaint only begins and ends a frame: the program shows black.
TEST(FrameLoopTest, NoViewDrawsNoFrameAndARepaintShowsBlack) {
  Loop loop(60, true, 0);
  const Tally second = loop.Run(1.0);
  EXPECT_EQ(0, second.frames);
  EXPECT_EQ(kLongestIdleWait, second.longestWait);
  EXPECT_GE(second.checks, 20);
  loop.frames->Repaint(loop.painter);
  EXPECT_EQ(1, loop.painter.begun);
  EXPECT_EQ(1, loop.painter.ended);
  EXPECT_TRUE(loop.painter.paints.empty());
}

TEST(FramePeriodTest, PacedIsTheDisplaysPeriodButNeverShorterThanAStep) {
  EXPECT_EQ(16'667, kStepPeriod);
  EXPECT_EQ(16'667, ChooseFramePeriod(0, true));
  EXPECT_EQ(16'667, ChooseFramePeriod(1, true));
  EXPECT_EQ(16'667, ChooseFramePeriod(60, true));
  EXPECT_EQ(16'667, ChooseFramePeriod(144, true));
  EXPECT_EQ(20'000, ChooseFramePeriod(50, true));
  EXPECT_EQ(0, ChooseFramePeriod(144, false));
  EXPECT_EQ(40'000, ChooseFramePeriod(60, true, 40'000));
  EXPECT_EQ(40'000, ChooseFramePeriod(60, false, 40'000));
  EXPECT_EQ(16'667, ChooseFramePeriod(60, true, 10'000));
}

}  // namespace
}  // namespace orlinde
