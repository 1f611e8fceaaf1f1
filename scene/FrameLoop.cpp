#include "scene/FrameLoop.h"

namespace orlinde {

FrameLoop::FrameLoop(MonotonicClock& clock, Microseconds framePeriod, SceneViews& views)
    : clock_(clock), pacer_(clock, framePeriod), views_(views), nextCheck_(clock.Now()) {}

void FrameLoop::SetDrawing(bool drawing) {
  if (drawing && !drawing_) {
    pacer_.Restart();
    const Microseconds now = clock_.Now();
    for (std::size_t i = 0; i < views_.size(); ++i) views_[i].rain.Restart(now);
  }
  drawing_ = drawing;
}

Microseconds FrameLoop::TimeUntilDue() {
  const Microseconds now = clock_.Now();
  Microseconds wait = nextCheck_ > now ? nextCheck_ - now : 0;
  if (wait > kLongestIdleWait) wait = kLongestIdleWait;  // a clock that went backwards
  if (!drawing_ || views_.empty()) return wait;
  const Microseconds untilFrame = pacer_.TimeUntilFrame();
  if (untilFrame < wait) wait = untilFrame;
  for (std::size_t i = 0; i < views_.size(); ++i) {
    const Microseconds untilDrop = views_[i].rain.TimeUntilDrop(now);
    if (untilDrop >= 0 && untilDrop < wait) wait = untilDrop;
  }
  return wait;
}

bool FrameLoop::Turn(SceneKeys& keys, ViewPainter& painter, EndCheck& ends) {
  TurnOutcome outcome;
  const Microseconds now = clock_.Now();
  if (drawing_ && !views_.empty()) {
    for (std::size_t i = 0; i < views_.size(); ++i) {
      if (views_[i].rain.TakeDueDrop(now)) AddDrop(views_[i].scene);
    }
    if (pacer_.TimeUntilFrame() == 0) {
      outcome.steps = pacer_.BeginFrame();
      for (std::size_t i = 0; i < views_.size(); ++i) {
        for (int step = 0; step < outcome.steps; ++step) StepScene(views_[i].scene, keys);
      }
      Paint(painter);
      outcome.drew = true;
    }
  }
  if (outcome.drew || now >= nextCheck_ || nextCheck_ - now > kLongestIdleWait) {
    nextCheck_ = now + kLongestIdleWait;
    // The end conditions come before the keys that act once per press: Escape held with Space ends the
    // program without a last drop.
    if (ends.ShouldEnd(outcome)) return true;
  }
  if (outcome.drew) {
    // Every view sees the same presses; the table then has them cleared once.
    const SceneKeys pressed = keys;
    for (std::size_t i = 0; i < views_.size(); ++i) {
      keys = pressed;
      ProcessKeys(views_[i].scene, keys, views_[i].rain);
    }
  }
  return false;
}

void FrameLoop::Repaint(ViewPainter& painter) {
  if (drawing_) Paint(painter);
}

void FrameLoop::Paint(ViewPainter& painter) {
  painter.BeginFrame();
  for (std::size_t i = 0; i < views_.size(); ++i) painter.PaintView(views_[i]);
  painter.EndFrame();
}

}  // namespace orlinde
