// Whether the display can be seen: the decision that pauses the rain while the display is off or the
// system is going to sleep. Each program turns its system's events into these calls (the console display
// state and the suspend and resume broadcasts on Windows, the monitor's DPMS level on Linux); the program
// hands ShouldDraw to its frame loop.
#pragma once

namespace orlinde {

class DisplayPower {
 public:
  // The display went dark (off, or a power-saving level that shows nothing), or can be seen again (on,
  // dimmed, or a display that reports no power level at all).
  void DisplayOff(bool off) { displayOff_ = off; }

  // The system is about to sleep / has woken up.
  void Suspending() { suspended_ = true; }
  void Resumed() { suspended_ = false; }

  bool ShouldDraw() const { return !displayOff_ && !suspended_; }

 private:
  bool displayOff_ = false;
  bool suspended_ = false;
};

}  // namespace orlinde
