// Whether the display can be seen: the decision that pauses the rain while the display is off or the
// system is going to sleep. Each program turns its system's events into these calls (Windows: the console
// display state and suspend/resume broadcasts; Linux: the DPMS extension's level); the frame loop asks
// ShouldDraw on every turn.
#pragma once

#include <cstdint>

namespace orlinde {

// The console display state a Windows power-setting notification carries.
inline constexpr std::uint32_t kConsoleDisplayOff = 0;
inline constexpr std::uint32_t kConsoleDisplayOn = 1;
inline constexpr std::uint32_t kConsoleDisplayDimmed = 2;

// What the X server's DPMS extension says about the monitor.
enum class DpmsReading {
  kNoExtension,  // the server has no DPMS (Xvfb, Xvnc, many remote displays)
  kDisabled,     // DPMS present but switched off: the monitor stays on
  kOn,
  kStandby,
  kSuspend,
  kOff,
};

class DisplayPower {
 public:
  // A console display state: off pauses; on and dimmed (still visible) draw; an unknown value draws.
  void ConsoleDisplayState(std::uint32_t state) { displayOff_ = state == kConsoleDisplayOff; }

  // The system is about to sleep / has woken up.
  void Suspending() { suspended_ = true; }
  void Resumed() { suspended_ = false; }

  // A DPMS reading: standby, suspend and off pause; on, disabled or no extension draw.
  void Dpms(DpmsReading reading) {
    displayOff_ = reading == DpmsReading::kStandby || reading == DpmsReading::kSuspend || reading == DpmsReading::kOff;
  }

  bool ShouldDraw() const { return !displayOff_ && !suspended_; }

 private:
  bool displayOff_ = false;
  bool suspended_ = false;
};

}  // namespace orlinde
