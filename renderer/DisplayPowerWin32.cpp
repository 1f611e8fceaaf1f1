#include "renderer/DisplayPowerWin32.h"

#include <cstring>

namespace orlinde::renderer {

DisplayStateNotifications::DisplayStateNotifications(HWND window)
    : handle_(RegisterPowerSettingNotification(window, &kConsoleDisplayStateSetting, DEVICE_NOTIFY_WINDOW_HANDLE)) {}

DisplayStateNotifications::~DisplayStateNotifications() {
  if (handle_ != nullptr) UnregisterPowerSettingNotification(handle_);
}

bool HandlePowerBroadcast(WPARAM event, LPARAM data, DisplayPower& power) {
  const bool before = power.ShouldDraw();
  switch (event) {
    case PBT_APMSUSPEND:
      power.Suspending();
      break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
      power.Resumed();
      break;
    case PBT_POWERSETTINGCHANGE: {
      const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
      if (setting == nullptr || setting->PowerSetting != kConsoleDisplayStateSetting ||
          setting->DataLength < sizeof(DWORD)) {
        break;
      }
      DWORD state = 0;
      std::memcpy(&state, setting->Data, sizeof state);
      power.DisplayOff(state == kConsoleDisplayOff);
      break;
    }
    default:
      break;
  }
  return power.ShouldDraw() != before;
}

}  // namespace orlinde::renderer
