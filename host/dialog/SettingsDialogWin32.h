// Velsora_P, the settings dialog "<Orlinde>": its window, its controls at their places (scaled with the
// display's dots per inch, the about panel excepted) and its event handlers. The rules it applies live in
// the portable cores (DialogRules.h, DialogLayout.h, AboutPanel.h, Command.h); each handler here reads
// like its steps.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "common/DisplaySetting.h"
#include "host/button/CommandWin32.h"
#include "host/dialog/AboutPanelWin32.h"
#include "host/dialog/DialogKeys.h"
#include "host/forms/ControlsWin32.h"
#include "host/forms/FormWin32.h"
#include "host/forms/GdiWin32.h"
#include "host/forms/TimerWin32.h"
#include "host/settings/Settings.h"

namespace orlinde {

// The message shown when a setting could not be written (the dialog stays open so the choice is kept).
inline constexpr char kSaveFailedMessage[] =
    "設定を保存できませんでした。\n"
    "Orlinde.ini またはそのﾌｫﾙﾀﾞが書き込み禁止になっていないか確かめてください。";

namespace dialog {

// What the dialog works on, all of it the host's: the settings record and the display mode it shows and
// changes, the pointer
// position it records at load (the zoom's origin), the file 設定 writes, and the zoom outlines it runs as
// it opens and closes.
struct DialogHost {
  BgmSettingsRecord& BgmSettings;
  MonitorMode& Monitors;
  std::int16_t& CursorX;
  std::int16_t& CursorY;
  std::string SettingsPath;
  std::function<void(HWND)> ZoomOpen;
  std::function<void(HWND)> ZoomClose;
};

}  // namespace dialog

class Velsora_P final : public forms::Form {
 public:
  Velsora_P(int dpi, dialog::DialogHost host);

  // Select source i: what a mouse press on Img_BGM(i) or lbl_BGM(i) does.
  void SelectSource(std::int16_t i);
  // Select display mode `mode`: what a mouse press on Img_Mon(i) or lbl_Mon(i) does.
  void SelectMonitors(MonitorMode mode);

 private:
  int dpi_;
  dialog::DialogHost host_;
  forms::Font labelFont_;
  // Whether the music panel has the focus, and which of its two stops (the sources or the display modes)
  // it stands for.
  bool panelFocused_ = false;
  dialog::Stop panelStop_ = dialog::Stop::Sources;

 public:
  // Visible controls, in the order of the layout.
  forms::PictureBox Pic_C;  // Pic_C(0), the music panel
  forms::Shape Shape3;      // Shape3(3)
  forms::Label lbl_15;      // lbl(15) "BGM"
  std::array<forms::Image, 3> Img_BGM;
  std::array<forms::Label, 3> lbl_BGM;
  forms::ComboBox BGM_Repeat;
  forms::Label lbl_14;  // lbl(14) "曲目をﾘﾋﾟｰﾄ"
  button::CommandControl Cmd_BGM;
  forms::Label lbl_Fname;
  forms::Shape Shape4;                  // the display modes' header frame
  forms::Label lbl_16;                  // lbl(16) "ﾓﾆﾀｰ"
  std::array<forms::Image, 3> Img_Mon;  // indexed by MonitorMode
  std::array<forms::Label, 3> lbl_Mon;
  dialog::AboutPanelControl picDisplay;
  button::CommandControl Cmd_Set;
  button::CommandControl Cmd_Can;
  forms::Label lbl_7;  // lbl(7) "Designed by r-vane Ver.1.0.0"

  // Hidden: the option-mark sources (unticked, ticked) and the about panel's timer.
  std::array<forms::Picture, 2> Img_Ra;
  forms::Timer Timer1;

 protected:
  DWORD Style() const override { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
  SIZE InitialClientSize() const override;
  void OnLoad() override;
  void OnUnload(bool& cancel) override;
  // The keyboard: Tab and Shift+Tab, the arrow keys on the sources, Enter, Space and Escape, taken before
  // the focused control sees them (DialogKeys.h says what each does).
  bool OnFilterMessage(const MSG& message) override;

 private:
  void ShowSource(std::int16_t kind);
  void ShowMonitors(MonitorMode mode);
  // The keyboard's stops: which one has the focus, its window, and the focus cue of the sources and the
  // display-mode stops (the music panel takes the focus for both groups of options and marks the chosen
  // option's label of the group that has it).
  dialog::Stop FocusedStop() const;
  HWND StopWindow(dialog::Stop stop) const;
  void FocusStop(dialog::Stop stop);
  void ShowFocusCue();
  void ChooseMusicFile();  // Click of Cmd_BGM
  void SaveAndClose();     // Click of Cmd_Set
  void OpenHomePage();     // click on picDisplay
};

}  // namespace orlinde
