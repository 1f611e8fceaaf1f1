#include "SettingsDialogWin32.h"

#include <commdlg.h>
#include <shellapi.h>

#include <string_view>
#include <vector>

#include "AnsiText.h"
#include "App.h"
#include "DialogLayout.h"
#include "DialogRules.h"
#include "FontWin32.h"
#include "HostState.h"
#include "OrlindeResources.h"
#include "SettingsDialog.h"
#include "SettingsDialogSave.h"
#include "SettingsWin32.h"
#include "Text.h"
#include "Zoom.h"

namespace orlinde {

namespace {

// The author's home page: a build setting (CMake cache variable ORLINDE_HOME_PAGE), the core's address
// when the build does not give one.
#ifdef ORLINDE_HOME_PAGE
constexpr const char* kHomePageAddress = ORLINDE_HOME_PAGE;
#else
constexpr const char* kHomePageAddress = dialog::kHomePage;
#endif

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

forms::Bounds ToBounds(const Rect& r) {
  return {r.x, r.y, r.width, r.height};
}

// A control's place at the display's dots per inch.
forms::Bounds Place(std::string_view name, int index, int dpi) {
  const std::optional<dialog::ControlPlace> control = dialog::FindControl(name, index);
  return control ? ToBounds(dialog::ScaledPlace(*control, dpi)) : forms::Bounds{};
}

std::wstring TextOf(std::string_view name, int index) {
  const std::optional<dialog::ControlPlace> control = dialog::FindControl(name, index);
  return control ? forms::FromUtf8(control->text) : std::wstring();
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
button::MemoryPropertyBag StoredButton(std::string_view name) {
  button::MemoryPropertyBag bag;
  const std::optional<dialog::ControlPlace> control = dialog::FindControl(name);
  bag.Write(button::key::kCaption, control ? control->text : std::string_view());
  bag.Write(button::key::kFont, button::EncodeFont(ButtonFont()));
  return bag;
}

// Text typed into a box, as the system's ANSI code page bytes.
std::string ToAnsi(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

}  // namespace

Velsora_P::Velsora_P(int dpi)
    : forms::Form(forms::FromUtf8(dialog::kDialogCaption)),
      dpi_(dpi),
      labelFont_{UsableFace(forms::FromUtf8(dialog::kLabelFont), dialog::kShiftJisCharset),
                 dialog::kLabelFontCentipoints / 100.0, false, static_cast<BYTE>(dialog::kShiftJisCharset)},
      Pic_C(*this, Place("Pic_C", 0, dpi), ToColourRef(dialog::kPanelDesignColour)),
      Shape3(Pic_C, Place("Shape3", 3, dpi), kWhite),
      lbl_15(Pic_C, Place("lbl", 15, dpi), TextOf("lbl", 15)),
      Img_BGM{
          {{Pic_C, Place("Img_BGM", 0, dpi)}, {Pic_C, Place("Img_BGM", 1, dpi)}, {Pic_C, Place("Img_BGM", 2, dpi)}}},
      lbl_BGM{{{Pic_C, Place("lbl_BGM", 0, dpi), TextOf("lbl_BGM", 0)},
               {Pic_C, Place("lbl_BGM", 1, dpi), TextOf("lbl_BGM", 1)},
               {Pic_C, Place("lbl_BGM", 2, dpi), TextOf("lbl_BGM", 2)}}},
      BGM_Repeat(Pic_C, Place("BGM_Repeat", -1, dpi)),
      lbl_14(Pic_C, Place("lbl", 14, dpi), TextOf("lbl", 14)),
      Cmd_BGM(Pic_C, Place("Cmd_BGM", -1, dpi), StoredButton("Cmd_BGM"), ButtonFont()),
      lbl_Fname(Pic_C, Place("lbl_Fname", -1, dpi)),
      picDisplay(*this, Place("picDisplay", -1, dpi)),
      Cmd_Set(*this, Place("Cmd_Set", -1, dpi), StoredButton("Cmd_Set"), ButtonFont()),
      Cmd_Can(*this, Place("Cmd_Can", -1, dpi), StoredButton("Cmd_Can"), ButtonFont()),
      lbl_7(*this, Place("lbl", 7, dpi), TextOf("lbl", 7)),
      Img_Ra{forms::Picture::FromResource(IDB_OPTION_UNTICKED), forms::Picture::FromResource(IDB_OPTION_TICKED)},
      Timer1(*this, dialog::kFrameIntervalMs, false, [this] { picDisplay.DrawFrame(); }) {
  SetBackColor(GetSysColor(COLOR_WINDOW));  // the design colour; loading makes it black

  // Every label: white text on a transparent background in the dialog's font; the option labels, the
  // track label and the credit line are sized to their text.
  for (forms::Label* label : {&lbl_15, &lbl_BGM[0], &lbl_BGM[1], &lbl_BGM[2], &lbl_14, &lbl_Fname, &lbl_7}) {
    label->SetForeColor(kWhite);
    label->SetFont(labelFont_);
  }
  lbl_15.SetAlignment(forms::Label::Align::Centre);
  for (forms::Label* label : {&lbl_BGM[0], &lbl_BGM[1], &lbl_BGM[2], &lbl_14, &lbl_7}) label->SetAutoSize(true);
  lbl_Fname.SetBorder(true);
  BGM_Repeat.SetFont(labelFont_);

  // Any mouse button on an option mark or its label selects that source.
  for (std::int16_t i = 0; i < 3; ++i) {
    auto select = [this, i](int, int, int, int) { SelectSource(i); };
    Img_BGM[static_cast<std::size_t>(i)].MouseDown = select;
    lbl_BGM[static_cast<std::size_t>(i)].MouseDown = select;
  }
  Cmd_BGM.Click = [this] { ChooseMusicFile(); };
  Cmd_Set.Click = [this] { SaveAndClose(); };
  Cmd_Can.Click = [this] { Unload(); };
  picDisplay.Click = [this] { OpenHomePage(); };
}

SIZE Velsora_P::InitialClientSize() const {
  return SIZE{dialog::ScaleLength(dialog::kClientWidth, dpi_), dialog::ScaleLength(dialog::kClientHeight, dpi_)};
}

// The load sequence. Each step runs whatever the earlier ones did.
void Velsora_P::OnLoad() {
  // 1. Centred horizontally, at one third of the free height.
  RECT outer{};
  GetWindowRect(Hwnd(), &outer);
  const dialog::Point at = dialog::DialogPosition(forms::app::ScreenWidthPixels(), forms::app::ScreenHeightPixels(),
                                                  outer.right - outer.left, outer.bottom - outer.top);
  SetWindowPos(Hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  // 2. Initialize on every Command of the dialog.
  for (forms::Control* control : Controls()) {
    if (auto* command = dynamic_cast<button::CommandControl*>(control)) command->Initialize();
  }

  // 3. Black window and music panel.
  SetBackColor(kBlack);
  Pic_C.SetBackColor(kBlack);

  // 4.-6. The option marks and the two controls that depend on the source.
  ShowSource(BgmSettings.BgmKind);

  // 7.-8. The track text, then the 31 list entries ("" and 1 to 30).
  BGM_Repeat.SetText(forms::FromUtf8(dialog::FormatDigitMask(BgmSettings.BgmRepeat)));
  for (const std::string& entry : dialog::RepeatListEntries()) BGM_Repeat.AddItem(forms::FromUtf8(entry));

  // 9. The music file's path.
  lbl_Fname.SetCaption(forms::FromAnsi(BgmSettings.BgmFile));

  // 10. The about panel: text masks drawn once, streak at its start, then its timer.
  picDisplay.SetUp(kHomePageAddress);
  Timer1.SetEnabled(true);

  // 11. The zoom's origin: the mouse position, or 0, 0 when it cannot be read.
  POINT cursor{};
  LastApiResult = GetCursorPos(&cursor);
  CursorX = static_cast<std::int16_t>(LastApiResult != 0 ? cursor.x : 0);
  CursorY = static_cast<std::int16_t>(LastApiResult != 0 ? cursor.y : 0);

  // 12. The outline grows from that point to the window.
  ZoomOpen(Hwnd());

  // 13. The default pointer.
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
}

// The unload sequence: the panel stops at once, then the outline shrinks back. Nothing is saved here.
void Velsora_P::OnUnload(bool&) {
  Timer1.SetEnabled(false);
  ZoomClose(Hwnd());
}

void Velsora_P::SelectSource(std::int16_t i) {
  BgmSettings.BgmKind = i;  // the record changes at once; the file only on 設定
  ShowSource(i);
}

void Velsora_P::ShowSource(std::int16_t kind) {
  const dialog::SourceControls look = dialog::ControlsForSource(kind);
  Cmd_BGM.SetEnabled(false);
  BGM_Repeat.SetEnabled(false);
  for (std::size_t i = 0; i < Img_BGM.size(); ++i) Img_BGM[i].SetPicture(Img_Ra[look.ticked[i] ? 1 : 0]);
  if (look.repeatEnabled) BGM_Repeat.SetEnabled(true);
  if (look.fileButtonEnabled) Cmd_BGM.SetEnabled(true);
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

  const BOOL chosen = GetOpenFileNameA(&request);
  LastApiResult = chosen;
  if (chosen <= 0) return;  // cancelled or failed: the path stays as it was
  BgmSettings.BgmFile = dialog::PathFromFileBuffer(file.data(), file.size());
  lbl_Fname.SetCaption(forms::FromAnsi(BgmSettings.BgmFile));
}

void Velsora_P::SaveAndClose() {
  Win32ProfileStore store;
  const bool saved = dialog::SaveChoice(BgmSettings, ToAnsi(BGM_Repeat.Text()), store, SettingsPath(), LastApiResult);
  if (!saved) {
    // The choice would be lost with the process: say so and stay open, so the user can fix the file
    // (or its folder) and confirm again, or cancel knowingly.
    MessageBoxW(Hwnd(), forms::FromUtf8(kSaveFailedMessage).c_str(), forms::app::Title().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  Unload();
}

void Velsora_P::OpenHomePage() {
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
  ShellExecuteA(Hwnd(), "open", kHomePageAddress, "", "", SW_SHOWNORMAL);
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
}

// Configure mode: the dialog follows the display's dots per inch, so the process asks the system for the
// real figure before anything measures the screen.
void ShowSettingsDialog() {
  SetProcessDPIAware();
  Velsora_P dialog(forms::app::Scale().dpiY);
  dialog.Show(forms::ShowMode::Modal);
}

}  // namespace orlinde
