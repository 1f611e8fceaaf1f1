// The black windows that cover every monitor but the primary during a run. Each is a borderless top-most
// popup of the host's that never takes the focus (the renderer keeps the keyboard, so Escape still reaches
// it), has no taskbar button and hides the pointer while it is over it.
#pragma once

#include <windows.h>

#include <vector>

namespace orlinde {

class MonitorCovers {
 public:
  MonitorCovers() = default;
  ~MonitorCovers();
  MonitorCovers(const MonitorCovers&) = delete;
  MonitorCovers& operator=(const MonitorCovers&) = delete;

  // Lays the covers over the monitors as they are now: on the run start, and again when the display
  // changes, when windows are moved, made or destroyed to match the new monitors. For a while after,
  // it watches for the renderer's window and raises the covers once more when it has come up.
  void Lay();
  // Destroys every cover.
  void Remove();

 private:
  // The covers' window procedure; each cover carries its MonitorCovers from WM_NCCREATE on.
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void WatchTick();
  void Raise();
  void StopWatch();

  std::vector<HWND> windows_;
  // How many ticks the watch for the renderer's window (a timer of the first cover) has left.
  int watchTicksLeft_ = 0;
};

}  // namespace orlinde
