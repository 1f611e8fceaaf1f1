// The renderer's display-power handler on a real Win32: WM_POWERBROADCAST messages sent and posted to a
// window whose procedure calls the handler as the renderer's does. The system itself cannot be made to
// send them here (Wine's RegisterPowerSettingNotification is a stub), so the test sends what it would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "renderer/DisplayPowerWin32.h"

namespace orlinde::renderer {
namespace {

DisplayPower g_power;
std::vector<bool> g_changes;  // what the handler returned, message by message

LRESULT CALLBACK PowerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_POWERBROADCAST) {
    g_changes.push_back(HandlePowerBroadcast(wParam, lParam, g_power));
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A power-setting notification as the system builds it: the setting's GUID, the length, the value.
struct SettingMessage {
  POWERBROADCAST_SETTING header;
  BYTE more[8];
};

SettingMessage Setting(const GUID& guid, DWORD value, DWORD length = sizeof(DWORD)) {
  SettingMessage m{};
  m.header.PowerSetting = guid;
  m.header.DataLength = length;
  std::memcpy(m.header.Data, &value, sizeof value);
  return m;
}

class PowerWindow : public testing::Test {
 protected:
  void SetUp() override {
    g_power = DisplayPower{};
    g_changes.clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PowerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PowerTestWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "PowerTestWindow", "power", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  void SendSetting(const GUID& guid, DWORD value, DWORD length = sizeof(DWORD)) {
    SettingMessage m = Setting(guid, value, length);
    SendMessageA(window_, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&m));
  }
  // Posted, as the system broadcasts suspend and resume, then taken from the queue by a message loop.
  void Post(WPARAM event) {
    ASSERT_TRUE(PostMessageA(window_, WM_POWERBROADCAST, event, 0));
    MSG message;
    while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  HWND window_ = nullptr;
};

TEST_F(PowerWindow, TheConsoleDisplayStateOffPausesWhileOnAndDimmedDraw) {
  EXPECT_TRUE(g_power.ShouldDraw());
  SendSetting(kConsoleDisplayStateSetting, 0);
  EXPECT_FALSE(g_power.ShouldDraw());
  SendSetting(kConsoleDisplayStateSetting, 2);
  EXPECT_TRUE(g_power.ShouldDraw()) << "dimmed is still seen";
  SendSetting(kConsoleDisplayStateSetting, 0);
  SendSetting(kConsoleDisplayStateSetting, 1);
  EXPECT_TRUE(g_power.ShouldDraw());
  EXPECT_EQ((std::vector<bool>{true, true, true, true}), g_changes);
}

TEST_F(PowerWindow, SuspendPausesAndTheAutomaticResumeDrawsAgain) {
  Post(PBT_APMSUSPEND);
  EXPECT_FALSE(g_power.ShouldDraw());
  Post(PBT_APMRESUMEAUTOMATIC);
  EXPECT_TRUE(g_power.ShouldDraw());
  // With the display off across the sleep, the resume alone does not draw.
  SendSetting(kConsoleDisplayStateSetting, 0);
  Post(PBT_APMSUSPEND);
  Post(PBT_APMRESUMEAUTOMATIC);
  Post(PBT_APMRESUMESUSPEND);
  EXPECT_FALSE(g_power.ShouldDraw());
  SendSetting(kConsoleDisplayStateSetting, 1);
  EXPECT_TRUE(g_power.ShouldDraw());
}

TEST_F(PowerWindow, OtherSettingsShortDataAndOtherEventsChangeNothing) {
  SendSetting(kConsoleDisplayStateSetting, 0);
  ASSERT_FALSE(g_power.ShouldDraw());
  // GUID_ACDC_POWER_SOURCE, whose value 1 would read as "on" if the setting were not checked.
  const GUID acdc = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
  SendSetting(acdc, 1);
  SendSetting(kConsoleDisplayStateSetting, 1, 2);  // shorter than the value
  SendMessageA(window_, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0);
  Post(PBT_APMPOWERSTATUSCHANGE);
  EXPECT_FALSE(g_power.ShouldDraw());
  EXPECT_EQ((std::vector<bool>{true, false, false, false, false}), g_changes);
}

// The registration the renderer makes on its window, and its release, on a real window. Wine's is a
// stub, so whether the system took it is printed, not asserted.
TEST_F(PowerWindow, RegistersForTheDisplayStateAndReleasesItWithTheWindow) {
  {
    const DisplayStateNotifications notifications(window_);
    std::printf("RegisterPowerSettingNotification %s\n", notifications.Registered() ? "took it" : "refused");
    SendSetting(kConsoleDisplayStateSetting, 0);
    EXPECT_FALSE(g_power.ShouldDraw());
  }
  SendSetting(kConsoleDisplayStateSetting, 1);
  EXPECT_TRUE(g_power.ShouldDraw());
}

}  // namespace
}  // namespace orlinde::renderer
