// The frame body both programs' loops call: on each turn it adds the drops that are due, and when a frame
// is due it runs the scene steps the pacer owes, has the program paint each view, then lets the keys that
// act once per press act. While the display cannot be seen it draws, steps and drops nothing, and still
// turns often enough for the program's own end checks. A loop drives any number of views (one scene and
// one drop schedule each, painted where the program says), all on one pacer.
#pragma once

#include <cstddef>
#include <span>

#include "scene/DropSchedule.h"
#include "scene/FramePacer.h"
#include "scene/RainScene.h"

namespace orlinde {

// One scene the loop drives, with its own rain.
struct SceneView {
  explicit SceneView(MonotonicClock& clock) : rain(clock) {}
  RainScene scene;
  DropSchedule rain;
};

// What the program does to put a view on screen.
class ViewPainter {
 public:
  virtual ~ViewPainter() = default;
  // Draws view `index` as its scene stands (DrawScene and whatever the program adds) and presents it.
  virtual void PaintView(std::size_t index, RainScene& scene) = 0;
};

// The longest the loop sleeps between turns, drawing or not: end conditions that are polled (the
// Windows pointer rule) and Escape are checked at least 20 times a second.
inline constexpr Microseconds kLongestIdleWait = 50'000;

struct TurnOutcome {
  bool drew = false;        // a frame was painted
  int steps = 0;            // scene steps run before it
  bool checkEnds = false;   // the program's end checks are due: after a frame, and every kLongestIdleWait
};

class FrameLoop {
 public:
  // `framePeriod` as ChooseFramePeriod gives it. The views must outlive the loop.
  FrameLoop(MonotonicClock& clock, Microseconds framePeriod, std::span<SceneView> views);

  // Whether the display can be seen (DisplayPower::ShouldDraw). Turning drawing back on starts the
  // pacer and the drop schedules afresh: no catch-up steps and no drops for the time paused.
  void SetDrawing(bool drawing);
  bool Drawing() const { return drawing_; }

  // How long the program may sleep before the next turn: until a frame or a drop is due, at most
  // kLongestIdleWait; 0 when something is due now.
  Microseconds TimeUntilDue();

  // One turn of the loop; the program calls it whenever its queue of events is empty and nothing is
  // left to wait for. `keys` is the program's scene key table.
  TurnOutcome Turn(SceneKeys& keys, ViewPainter& painter);

  // The views change (a monitor came or went): the loop drives these from the next turn on, on the same
  // pacer. The views must outlive the loop or the next call.
  void SetViews(std::span<SceneView> views) { views_ = views; }

  // Paints every view as it stands, with no step (a window exposed or resized); nothing while paused.
  void Repaint(ViewPainter& painter);

 private:
  MonotonicClock& clock_;
  FramePacer pacer_;
  std::span<SceneView> views_;
  bool drawing_ = true;
  Microseconds nextCheck_;
};

}  // namespace orlinde
