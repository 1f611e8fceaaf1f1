// The black windows that cover every monitor but the primary during a run in the display mode "primary"
// (in the other modes the renderer draws on every monitor and there is nothing to cover). Each is a borderless top-most
// popup of the host's that never takes the focus (the renderer keeps the keyboard, so Escape still reaches
// it), has no taskbar button and hides the pointer while it is over it.
#pragma once

#include <windows.h>

#include <vector>

#include "common/DisplaySetting.h"
#include "common/Monitors.h"

namespace orlinde {

class MonitorCovers {
 public:
  MonitorCovers() = default;
  ~MonitorCovers();
  MonitorCovers(const MonitorCovers&) = delete;
  MonitorCovers& operator=(const MonitorCovers&) = delete;

  // Lays the covers the display mode asks for over the monitors as they are now: on the run start, and
  // again (Relay) when the display changes, when windows are moved, made or destroyed to match the new
  // monitors. For a while after, it watches for the renderer's window and raises the covers once more
  // when it has come up.
  void Lay(MonitorMode mode);
  // Lays them again in the mode of the last Lay.
  void Relay() { Lay(mode_); }
  // Lays them again when the monitors are no longer those of the last Lay: a monitor turned off or on
  // under Wine sends no WM_DISPLAYCHANGE, so the run form asks this once a second.
  void Follow();
  // Destroys every cover.
  void Remove();

 private:
  // The covers' window procedure; each cover carries its MonitorCovers from WM_NCCREATE on.
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void WatchTick();
  void Raise();
  void StopWatch();

  MonitorMode mode_ = kDefaultMonitorMode;
  MonitorSet desk_;  // the monitors of the last Lay
  std::vector<HWND> windows_;
  // How many ticks the watch for the renderer's window (a timer of the first cover) has left.
  int watchTicksLeft_ = 0;
};

}  // namespace orlinde
