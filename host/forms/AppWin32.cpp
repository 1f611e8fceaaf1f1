#include "host/forms/AppWin32.h"

#include <algorithm>
#include <vector>

#include "common/SettingsFileWin32.h"
#include "host/forms/FormWin32.h"
#include "host/forms/GdiWin32.h"

namespace orlinde::forms::app {

namespace {

std::wstring& TitleText() {
  static std::wstring title;
  return title;
}

std::vector<Form*>& LoadedFormList() {
  static std::vector<Form*> forms;
  return forms;
}

TwipsScale ReadScreenScale() {
  TwipsScale scale;
  const WindowDc screen;
  if (screen.Get() != nullptr) {
    const int x = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    const int y = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    if (x > 0) scale.dpiX = x;
    if (y > 0) scale.dpiY = y;
  }
  return scale;
}

}  // namespace

const std::wstring& Title() {
  return TitleText();
}
void SetTitle(std::wstring title) {
  TitleText() = std::move(title);
}

std::string Path() {
  return ProgramFolder();
}

const TwipsScale& Scale() {
  static const TwipsScale scale = ReadScreenScale();
  return scale;
}

int ScreenWidthPixels() {
  return GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeightPixels() {
  return GetSystemMetrics(SM_CYSCREEN);
}

int MsgBox(const std::wstring& text, UINT buttons, const std::wstring& title) {
  return MessageBoxW(nullptr, text.c_str(), title.c_str(), buttons);
}

int Run() {
  if (LoadedFormList().empty()) return 0;
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (FilterMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void End(UINT exitCode) {
  ExitProcess(exitCode);
}

int LoadedForms() {
  return static_cast<int>(LoadedFormList().size());
}

bool FilterMessage(const MSG& message) {
  for (Form* form : LoadedFormList()) {
    // One form owns the window; its filter may unload forms, so the list is not read after it.
    if (form->Owns(message.hwnd)) return form->FilterMessage(message);
  }
  return false;
}

void FormLoaded(Form& form) {
  LoadedFormList().push_back(&form);
}

void FormUnloaded(Form& form) {
  auto& forms = LoadedFormList();
  const auto gone = std::remove(forms.begin(), forms.end(), &form);
  if (gone == forms.end()) return;
  forms.erase(gone, forms.end());
  if (forms.empty()) PostQuitMessage(0);
}

}  // namespace orlinde::forms::app
