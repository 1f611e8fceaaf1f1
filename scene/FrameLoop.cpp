#include "scene/FrameLoop.h"

namespace orlinde {

FrameLoop::FrameLoop(MonotonicClock& clock, Microseconds framePeriod, std::span<SceneView> views)
    : clock_(clock), pacer_(clock, framePeriod), views_(views), nextCheck_(clock.Now()) {}

void FrameLoop::SetDrawing(bool drawing) {
  if (drawing && !drawing_) {
    pacer_.Restart();
    const Microseconds now = clock_.Now();
    for (SceneView& view : views_) view.rain.Restart(now);
  }
  drawing_ = drawing;
}

Microseconds FrameLoop::TimeUntilDue() {
  const Microseconds now = clock_.Now();
  Microseconds wait = nextCheck_ > now ? nextCheck_ - now : 0;
  if (wait > kLongestIdleWait) wait = kLongestIdleWait;  // a clock that went backwards
  if (!drawing_) return wait;
  const Microseconds untilFrame = pacer_.TimeUntilFrame();
  if (untilFrame < wait) wait = untilFrame;
  for (const SceneView& view : views_) {
    const Microseconds untilDrop = view.rain.TimeUntilDrop(now);
    if (untilDrop >= 0 && untilDrop < wait) wait = untilDrop;
  }
  return wait;
}

TurnOutcome FrameLoop::Turn(SceneKeys& keys, ViewPainter& painter) {
  TurnOutcome outcome;
  const Microseconds now = clock_.Now();
  if (drawing_) {
    for (SceneView& view : views_) {
      if (view.rain.TakeDueDrop(now)) AddDrop(view.scene);
    }
    if (pacer_.TimeUntilFrame() == 0) {
      outcome.steps = pacer_.BeginFrame();
      for (std::size_t index = 0; index < views_.size(); ++index) {
        RainScene& scene = views_[index].scene;
        for (int step = 0; step < outcome.steps; ++step) StepScene(scene, keys);
        painter.PaintView(index, scene);
      }
      outcome.drew = true;
      // Every view sees the same presses; the table then has them cleared once.
      const SceneKeys pressed = keys;
      for (SceneView& view : views_) {
        keys = pressed;
        ProcessKeys(view.scene, keys, view.rain);
      }
    }
  }
  if (outcome.drew || now >= nextCheck_ || nextCheck_ - now > kLongestIdleWait) {
    outcome.checkEnds = true;
    nextCheck_ = now + kLongestIdleWait;
  }
  return outcome;
}

void FrameLoop::Repaint(ViewPainter& painter) {
  if (!drawing_) return;
  for (std::size_t index = 0; index < views_.size(); ++index) painter.PaintView(index, views_[index].scene);
}

}  // namespace orlinde
