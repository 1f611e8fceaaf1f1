// The settings dialog from the keyboard: its message filter turns a key going down into the portable
// core's terms (DialogKeys.h) and carries out what the core answers. The sources' stop and the display
// modes' stop are both the music panel Pic_C, which takes the focus for either group of three options and
// marks the chosen option's label of the group it stands for with the focus cue.
#include <windows.h>

#include "host/dialog/DialogKeys.h"
#include "host/dialog/SettingsDialogWin32.h"

namespace orlinde {

namespace {

dialog::Key KeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_TAB:
      return dialog::Key::Tab;
    case VK_LEFT:
      return dialog::Key::Left;
    case VK_RIGHT:
      return dialog::Key::Right;
    case VK_UP:
      return dialog::Key::Up;
    case VK_DOWN:
      return dialog::Key::Down;
    case VK_RETURN:
      return dialog::Key::Enter;
    case VK_ESCAPE:
      return dialog::Key::Escape;
    case VK_SPACE:
      return dialog::Key::Space;
    default:
      return dialog::Key::Other;
  }
}

bool WindowEnabled(HWND window) {
  return window != nullptr && IsWindowEnabled(window) && IsWindowVisible(window);
}

}  // namespace

bool Velsora_P::OnFilterMessage(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const dialog::Key key = KeyOf(message.wParam);
  if (key == dialog::Key::Other) return false;

  dialog::KeyContext context;
  context.focused = FocusedStop();
  for (std::size_t i = 0; i < dialog::kStopCount; ++i) {
    context.enabled[i] = WindowEnabled(StopWindow(static_cast<dialog::Stop>(i)));
  }
  context.source = host_.BgmSettings.BgmKind;
  context.monitors = host_.Monitors;
  context.shift = GetKeyState(VK_SHIFT) < 0;
  context.control = GetKeyState(VK_CONTROL) < 0;
  context.repeat = (message.lParam & (LPARAM{1} << 30)) != 0;  // the key was already down
  context.listDropped = BGM_Repeat.Hwnd() != nullptr && SendMessageW(BGM_Repeat.Hwnd(), CB_GETDROPPEDSTATE, 0, 0);

  const dialog::KeyAction action = dialog::OnKeyDown(key, context);
  switch (action.kind) {
    case dialog::KeyAction::PassOn:
      return false;
    case dialog::KeyAction::Swallow:
      return true;
    case dialog::KeyAction::MoveFocus:
      FocusStop(action.stop);
      return true;
    case dialog::KeyAction::Select:
      SelectSource(action.source);
      return true;
    case dialog::KeyAction::SelectMonitors:
      SelectMonitors(action.monitors);
      return true;
    case dialog::KeyAction::Click:
      // Each handler may unload the dialog: nothing after it.
      if (action.stop == dialog::Stop::FileButton) Cmd_BGM.PerformClick();
      if (action.stop == dialog::Stop::Save) Cmd_Set.PerformClick();
      if (action.stop == dialog::Stop::Cancel) Cmd_Can.PerformClick();
      return true;
    case dialog::KeyAction::Save:
      Cmd_Set.PerformClick();
      return true;
    case dialog::KeyAction::Cancel:
      Cmd_Can.PerformClick();
      return true;
    case dialog::KeyAction::CloseList:
      SendMessageW(BGM_Repeat.Hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
      return true;
  }
  return false;
}

dialog::Stop Velsora_P::FocusedStop() const {
  const HWND focus = GetFocus();
  if (focus == nullptr) return dialog::Stop::None;
  if (focus == Pic_C.Hwnd()) return panelStop_;
  for (std::size_t i = 0; i < dialog::kStopCount; ++i) {
    const auto stop = static_cast<dialog::Stop>(i);
    const HWND window = StopWindow(stop);
    if (window == nullptr) continue;
    // The track box's focus is in the edit field inside it.
    if (focus == window || (stop == dialog::Stop::TrackBox && IsChild(window, focus))) return stop;
  }
  return dialog::Stop::None;
}

HWND Velsora_P::StopWindow(dialog::Stop stop) const {
  switch (stop) {
    case dialog::Stop::Sources:
    case dialog::Stop::Monitors:
      return Pic_C.Hwnd();
    case dialog::Stop::TrackBox:
      return BGM_Repeat.Hwnd();
    case dialog::Stop::FileButton:
      return Cmd_BGM.Hwnd();
    case dialog::Stop::Save:
      return Cmd_Set.Hwnd();
    case dialog::Stop::Cancel:
      return Cmd_Can.Hwnd();
    case dialog::Stop::None:
      break;
  }
  return nullptr;
}

void Velsora_P::FocusStop(dialog::Stop stop) {
  const HWND window = StopWindow(stop);
  if (window == nullptr) return;
  if (window == Pic_C.Hwnd() && panelStop_ != stop) {
    panelStop_ = stop;  // the panel stands for the other group now: its cue moves there
    ShowFocusCue();
  }
  if (GetFocus() == window) return;
  SetFocus(window);
  // Entering the track box selects its text, so that typing replaces the track.
  if (stop == dialog::Stop::TrackBox) SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void Velsora_P::ShowFocusCue() {
  const bool sources = panelFocused_ && panelStop_ == dialog::Stop::Sources;
  const bool monitors = panelFocused_ && panelStop_ == dialog::Stop::Monitors;
  const std::int16_t cued = dialog::CueSource(host_.BgmSettings.BgmKind);
  for (std::int16_t i = 0; i < 3; ++i) lbl_BGM[static_cast<std::size_t>(i)].SetFocusCue(sources && i == cued);
  for (std::size_t i = 0; i < lbl_Mon.size(); ++i) {
    lbl_Mon[i].SetFocusCue(monitors && static_cast<MonitorMode>(i) == host_.Monitors);
  }
}

}  // namespace orlinde
