// The frame body every program's loop calls: on each turn it adds the drops that are due, and when a frame
// is due it runs the scene steps the pacer owes and has the program paint every view; then it asks the
// program whether to end, and only when it goes on do the keys that act once per press act. While the
// display cannot be seen it draws, steps and drops nothing, and still asks often enough for the program's
// end checks. All views run on one pacer; with no view at all no frame is drawn.
#pragma once

#include "scene/FramePacer.h"
#include "scene/RainScene.h"
#include "scene/SceneViews.h"

namespace orlinde {

// What the program does to put the views on screen: once before the first view of a frame, once per view,
// once after the last. A frame with no view (a repaint of a window no view falls on) is only begun and
// ended: the program shows black.
class ViewPainter {
 public:
  virtual ~ViewPainter() = default;
  virtual void BeginFrame() {}
  // Makes the view's target current, draws it (DrawView) and presents it where the target is its own.
  virtual void PaintView(SceneView& view) = 0;
  virtual void EndFrame() {}
};

// The longest the loop sleeps between turns, drawing or not: end conditions that are polled (the
// Windows pointer rule) and Escape are checked at least 20 times a second.
inline constexpr Microseconds kLongestIdleWait = 50'000;

struct TurnOutcome {
  bool drew = false;  // a frame was painted
  int steps = 0;      // scene steps run before it
};

// The program's own end conditions (Escape, the pointer, a close request), asked after every frame and at
// least every kLongestIdleWait.
class EndCheck {
 public:
  virtual ~EndCheck() = default;
  virtual bool ShouldEnd(const TurnOutcome& turn) = 0;
};

class FrameLoop {
 public:
  // `framePeriod` as ChooseFramePeriod gives it. The views must outlive the loop; they may change between
  // turns (SceneViews::Arrange), all on the same pacer.
  FrameLoop(MonotonicClock& clock, Microseconds framePeriod, SceneViews& views);

  // Whether the display can be seen (DisplayPower::ShouldDraw). Turning drawing back on starts the
  // pacer and the drop schedules afresh: no catch-up steps and no drops for the time paused.
  void SetDrawing(bool drawing);
  bool Drawing() const { return drawing_; }

  // How long the program may sleep before the next turn: until a frame, a drop or an end check is due, at
  // most kLongestIdleWait; 0 when something is due now.
  Microseconds TimeUntilDue();

  // One turn of the loop; the program calls it whenever its queue of events is empty and nothing is left
  // to wait for. `keys` is the program's scene key table. True when `ends` said the program should end.
  bool Turn(SceneKeys& keys, ViewPainter& painter, EndCheck& ends);

  // Paints every view as it stands, with no step (a window exposed, resized or laid out again); nothing
  // while paused.
  void Repaint(ViewPainter& painter);

 private:
  void Paint(ViewPainter& painter);

  MonotonicClock& clock_;
  FramePacer pacer_;
  SceneViews& views_;
  bool drawing_ = true;
  Microseconds nextCheck_;
};

}  // namespace orlinde
