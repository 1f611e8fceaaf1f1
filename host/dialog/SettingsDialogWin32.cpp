#include "host/dialog/SettingsDialogWin32.h"

#include <commdlg.h>
#include <shellapi.h>

#include <string_view>
#include <vector>

#include "assets/HostResources.h"
#include "common/CodePageWin32.h"
#include "common/SettingsFileWin32.h"
#include "common/WindowTitles.h"
#include "host/button/FontWin32.h"
#include "host/dialog/DialogLayout.h"
#include "host/dialog/DialogRules.h"
#include "host/dialog/SettingsDialogSave.h"
#include "host/forms/AppWin32.h"
#include "host/forms/SystemNamesWin32.h"
#include "host/settings/SettingsWin32.h"

namespace orlinde {

namespace {

// The author's home page: a build setting (CMake cache variable ORLINDE_HOME_PAGE), the core's address
// when the build does not give one.
#ifdef ORLINDE_HOME_PAGE
constexpr const char* kHomePageAddress = ORLINDE_HOME_PAGE;
#else
constexpr const char* kHomePageAddress = dialog::kHomePage;
#endif

using Id = dialog::DialogControl;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A control's place at the display's dots per inch.
Rect Place(dialog::DialogControl control, int dpi) {
  return dialog::ScaledPlace(dialog::Layout(control), dpi);
}

std::wstring TextOf(dialog::DialogControl control) {
  return FromUtf8(dialog::Layout(control).text);
}

// The buttons' font, and the font their container offers (the same: the labels' font).
button::FontDesc ButtonFont() {
  button::FontDesc font;
  font.faceName = dialog::kLabelFont;
  font.sizeCentipoints = dialog::kLabelFontCentipoints;
  font.charset = dialog::kShiftJisCharset;
  return font;
}

// A button's stored property set as the dialog's layout keeps it: its caption and its font.
button::MemoryPropertyBag StoredButton(dialog::DialogControl control) {
  button::MemoryPropertyBag bag;
  bag.Write(button::key::kCaption, dialog::Layout(control).text);
  bag.Write(button::key::kFont, button::EncodeFont(ButtonFont()));
  return bag;
}

}  // namespace

Velsora_P::Velsora_P(int dpi, dialog::DialogHost host)
    : forms::Form(FromUtf8(kDialogCaption)),
      dpi_(dpi),
      host_(std::move(host)),
      labelFont_{UsableFace(FromUtf8(dialog::kLabelFont), dialog::kShiftJisCharset),
                 dialog::kLabelFontCentipoints / 100.0, false, static_cast<BYTE>(dialog::kShiftJisCharset)},
      Pic_C(*this, Place(Id::Pic_C, dpi), ToColourRef(dialog::kPanelDesignColour)),
      Shape3(Pic_C, Place(Id::Shape3, dpi), kWhite),
      lbl_15(Pic_C, Place(Id::lbl_15, dpi), TextOf(Id::lbl_15)),
      Img_BGM{
          {{Pic_C, Place(Id::Img_BGM_0, dpi)}, {Pic_C, Place(Id::Img_BGM_1, dpi)}, {Pic_C, Place(Id::Img_BGM_2, dpi)}}},
      lbl_BGM{{{Pic_C, Place(Id::lbl_BGM_0, dpi), TextOf(Id::lbl_BGM_0)},
               {Pic_C, Place(Id::lbl_BGM_1, dpi), TextOf(Id::lbl_BGM_1)},
               {Pic_C, Place(Id::lbl_BGM_2, dpi), TextOf(Id::lbl_BGM_2)}}},
      BGM_Repeat(Pic_C, Place(Id::BGM_Repeat, dpi)),
      lbl_14(Pic_C, Place(Id::lbl_14, dpi), TextOf(Id::lbl_14)),
      Cmd_BGM(Pic_C, Place(Id::Cmd_BGM, dpi), StoredButton(Id::Cmd_BGM), ButtonFont()),
      lbl_Fname(Pic_C, Place(Id::lbl_Fname, dpi)),
      Shape4(Pic_C, Place(Id::Shape4, dpi), kWhite),
      lbl_16(Pic_C, Place(Id::lbl_16, dpi), TextOf(Id::lbl_16)),
      Img_Mon{
          {{Pic_C, Place(Id::Img_Mon_0, dpi)}, {Pic_C, Place(Id::Img_Mon_1, dpi)}, {Pic_C, Place(Id::Img_Mon_2, dpi)}}},
      lbl_Mon{{{Pic_C, Place(Id::lbl_Mon_0, dpi), TextOf(Id::lbl_Mon_0)},
               {Pic_C, Place(Id::lbl_Mon_1, dpi), TextOf(Id::lbl_Mon_1)},
               {Pic_C, Place(Id::lbl_Mon_2, dpi), TextOf(Id::lbl_Mon_2)}}},
      picDisplay(*this, Place(Id::picDisplay, dpi)),
      Cmd_Set(*this, Place(Id::Cmd_Set, dpi), StoredButton(Id::Cmd_Set), ButtonFont()),
      Cmd_Can(*this, Place(Id::Cmd_Can, dpi), StoredButton(Id::Cmd_Can), ButtonFont()),
      lbl_7(*this, Place(Id::lbl_7, dpi), TextOf(Id::lbl_7)),
      Img_Ra{forms::Picture::FromResource(IDB_OPTION_UNTICKED), forms::Picture::FromResource(IDB_OPTION_TICKED)},
      Timer1(*this, dialog::kFrameIntervalMs, false, [this] { picDisplay.DrawFrame(); }) {
  SetBackColor(GetSysColor(COLOR_WINDOW));  // the design colour; loading makes it black

  // Every label: white text on a transparent background in the dialog's font; the option labels, the
  // track label and the credit line are sized to their text.
  for (forms::Label* label : {&lbl_15, &lbl_BGM[0], &lbl_BGM[1], &lbl_BGM[2], &lbl_14, &lbl_Fname, &lbl_16, &lbl_Mon[0],
                              &lbl_Mon[1], &lbl_Mon[2], &lbl_7}) {
    label->SetForeColor(kWhite);
    label->SetFont(labelFont_);
  }
  lbl_15.SetAlignment(forms::Label::Align::Centre);
  lbl_16.SetAlignment(forms::Label::Align::Centre);
  for (forms::Label* label :
       {&lbl_BGM[0], &lbl_BGM[1], &lbl_BGM[2], &lbl_14, &lbl_Mon[0], &lbl_Mon[1], &lbl_Mon[2], &lbl_7}) {
    label->SetAutoSize(true);
  }
  lbl_Fname.SetBorder(true);
  BGM_Repeat.SetFont(labelFont_);

  // Any mouse button on an option mark or its label selects that source and, as a click on an option
  // does, gives the options the keyboard focus.
  for (std::int16_t i = 0; i < 3; ++i) {
    auto select = [this, i](MouseButton, int, int, int) {
      SelectSource(i);
      FocusStop(dialog::Stop::Sources);
    };
    Img_BGM[static_cast<std::size_t>(i)].MouseDown = select;
    lbl_BGM[static_cast<std::size_t>(i)].MouseDown = select;
  }
  // The same for the display modes.
  for (std::size_t i = 0; i < Img_Mon.size(); ++i) {
    auto select = [this, i](MouseButton, int, int, int) {
      SelectMonitors(static_cast<MonitorMode>(i));
      FocusStop(dialog::Stop::Monitors);
    };
    Img_Mon[i].MouseDown = select;
    lbl_Mon[i].MouseDown = select;
  }
  Cmd_BGM.Click = [this] { ChooseMusicFile(); };
  Cmd_Set.Click = [this] { SaveAndClose(); };
  Cmd_Can.Click = [this] { Unload(); };
  picDisplay.Click = [this] { OpenHomePage(); };
  Pic_C.GotFocus = [this] {
    panelFocused_ = true;
    ShowFocusCue();
  };
  Pic_C.LostFocus = [this] {
    panelFocused_ = false;
    ShowFocusCue();
  };
}

SIZE Velsora_P::InitialClientSize() const {
  return SIZE{dialog::ScaleLength(dialog::kClientWidth, dpi_), dialog::ScaleLength(dialog::kClientHeight, dpi_)};
}

// The dialog comes up placed, with the settings shown and the about panel running, before the zoom
// outline grows from the mouse position to it. The order matters where a step reads what an earlier one
// set: the buttons are initialised before anything changes their state, and the zoom starts last.
void Velsora_P::OnLoad() {
  // Centred horizontally, at one third of the free height.
  RECT outer{};
  GetWindowRect(Hwnd(), &outer);
  const dialog::Point at = dialog::DialogPosition(forms::app::ScreenWidthPixels(), forms::app::ScreenHeightPixels(),
                                                  outer.right - outer.left, outer.bottom - outer.top);
  SetWindowPos(Hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  for (forms::Control* control : Controls()) {
    if (auto* command = dynamic_cast<button::CommandControl*>(control)) command->Initialize();
  }

  SetBackColor(kBlack);
  Pic_C.SetBackColor(kBlack);

  ShowSource(host_.BgmSettings.BgmKind);
  ShowMonitors(host_.Monitors);

  // The track text, then the list: "" and 1 to 30.
  BGM_Repeat.SetText(FromUtf8(dialog::FormatDigitMask(host_.BgmSettings.BgmRepeat)));
  for (const std::string& entry : dialog::RepeatListEntries()) BGM_Repeat.AddItem(FromUtf8(entry));

  lbl_Fname.SetCaption(FromAnsi(host_.BgmSettings.BgmFile));

  // The about panel's text layers are drawn once; its timer then moves the streak.
  picDisplay.SetUp(kHomePageAddress);
  Timer1.SetEnabled(true);

  // The zoom grows from the mouse position, or from 0, 0 when that cannot be read.
  POINT cursor{};
  const bool gotCursor = GetCursorPos(&cursor) != 0;
  host_.CursorX = static_cast<std::int16_t>(gotCursor ? cursor.x : 0);
  host_.CursorY = static_cast<std::int16_t>(gotCursor ? cursor.y : 0);
  host_.ZoomOpen(Hwnd());
  SetCursor(LoadCursorW(nullptr, forms::WideName(IDC_ARROW)));
}

// The unload sequence: the panel stops at once, then the outline shrinks back. Nothing is saved here.
void Velsora_P::OnUnload(bool&) {
  Timer1.SetEnabled(false);
  host_.ZoomClose(Hwnd());
}

void Velsora_P::SelectSource(std::int16_t i) {
  host_.BgmSettings.BgmKind = i;  // the record changes at once; the file only on 設定
  ShowSource(i);
}

void Velsora_P::ShowSource(std::int16_t kind) {
  const dialog::SourceControls look = dialog::ControlsForSource(kind);
  Cmd_BGM.SetEnabled(false);
  BGM_Repeat.SetEnabled(false);
  for (std::size_t i = 0; i < Img_BGM.size(); ++i) Img_BGM[i].SetPicture(Img_Ra[look.ticked[i] ? 1 : 0]);
  if (look.repeatEnabled) BGM_Repeat.SetEnabled(true);
  if (look.fileButtonEnabled) Cmd_BGM.SetEnabled(true);
  ShowFocusCue();
}

void Velsora_P::SelectMonitors(MonitorMode mode) {
  host_.Monitors = mode;  // as for the source: the file changes only on 設定
  ShowMonitors(mode);
}

void Velsora_P::ShowMonitors(MonitorMode mode) {
  for (std::size_t i = 0; i < Img_Mon.size(); ++i) {
    Img_Mon[i].SetPicture(Img_Ra[static_cast<MonitorMode>(i) == mode ? 1 : 0]);
  }
  ShowFocusCue();
}

void Velsora_P::ChooseMusicFile() {
  const std::string filter = Utf8ToAnsi(dialog::FilterBlock());  // the zero bytes convert as they are
  const std::string title = Utf8ToAnsi(dialog::kFileDialogTitle);
  std::vector<char> file(dialog::kFileBufferBytes, '\0');
  std::vector<char> fileTitle(dialog::kFileBufferBytes, '\0');

  OPENFILENAMEA request{};
  request.lStructSize = sizeof(OPENFILENAMEA);
  request.hwndOwner = Hwnd();
  request.hInstance = GetModuleHandleW(nullptr);
  request.lpstrFilter = filter.c_str();
  request.lpstrCustomFilter = nullptr;
  request.nMaxCustFilter = 0;
  request.nFilterIndex = 0;
  request.lpstrFile = file.data();
  request.nMaxFile = static_cast<DWORD>(file.size());
  request.lpstrFileTitle = fileTitle.data();
  request.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  request.lpstrInitialDir = nullptr;
  request.lpstrTitle = title.c_str();
  request.Flags = 0;

  if (GetOpenFileNameA(&request) == 0) return;  // cancelled or failed: the path stays as it was
  host_.BgmSettings.BgmFile = dialog::PathFromFileBuffer(file.data(), file.size());
  lbl_Fname.SetCaption(FromAnsi(host_.BgmSettings.BgmFile));
}

void Velsora_P::SaveAndClose() {
  ProfileIniFile file(host_.SettingsPath);
  const bool saved = dialog::SaveChoice(host_.BgmSettings, host_.Monitors, ToAnsi(BGM_Repeat.Text()), file);
  if (!saved) {
    // The choice would be lost with the process: say so and stay open, so the user can fix the file
    // (or its folder) and confirm again, or cancel knowingly.
    MessageBoxW(Hwnd(), FromUtf8(kSaveFailedMessage).c_str(), forms::app::Title().c_str(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  Unload();
}

void Velsora_P::OpenHomePage() {
  SetCursor(LoadCursorW(nullptr, forms::WideName(IDC_WAIT)));
  ShellExecuteA(Hwnd(), "open", kHomePageAddress, "", "", SW_SHOWNORMAL);
  SetCursor(LoadCursorW(nullptr, forms::WideName(IDC_ARROW)));
}

}  // namespace orlinde
