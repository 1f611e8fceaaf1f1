// The renderer's side of display power on Windows: the console display state (off, on, dimmed) through a
// power-setting notification on its window, and the system's suspend and resume broadcasts, both arriving
// as WM_POWERBROADCAST. The decision itself is the scene's DisplayPower.
#pragma once

#include <windows.h>

#include "scene/DisplayPower.h"

namespace orlinde::renderer {

// GUID_CONSOLE_DISPLAY_STATE: the power setting whose value is the console display's state.
inline constexpr GUID kConsoleDisplayStateSetting = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// The console display states that setting carries: off shows nothing; on and dimmed are still seen (and
// a value not known here draws).
inline constexpr DWORD kConsoleDisplayOff = 0;
inline constexpr DWORD kConsoleDisplayOn = 1;
inline constexpr DWORD kConsoleDisplayDimmed = 2;

// Asks the system to send `window` the console display state whenever it changes (and once at once).
class DisplayStateNotifications {
 public:
  explicit DisplayStateNotifications(HWND window);
  ~DisplayStateNotifications();
  DisplayStateNotifications(const DisplayStateNotifications&) = delete;
  DisplayStateNotifications& operator=(const DisplayStateNotifications&) = delete;

  // Whether the system took the registration.
  bool Registered() const { return handle_ != nullptr; }

 private:
  HPOWERNOTIFY handle_;
};

// Feeds one WM_POWERBROADCAST into `power`: PBT_POWERSETTINGCHANGE with the console display state,
// PBT_APMSUSPEND and PBT_APMRESUMEAUTOMATIC (PBT_APMRESUMESUSPEND, which follows it when a user is
// there, resumes too). Returns whether the message changed what `power` decides.
bool HandlePowerBroadcast(WPARAM event, LPARAM data, DisplayPower& power);

}  // namespace orlinde::renderer
