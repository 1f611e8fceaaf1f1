#include "Main.h"
#include <windows.h>

#include <cstdint>
#include <string>

#include "App.h"
#include "CommandLine.h"
#include "HostState.h"
#include "HostTexts.h"
#include "PreviewForm.h"
#include "RunForm.h"
#include "SettingsDialog.h"
#include "SettingsWin32.h"
#include "Text.h"
#include "WindowTitles.h"

namespace orlinde {

namespace {

// True when a run form, a settings dialog or a renderer window exists. All three are always looked up.
bool AnotherInstanceRuns() {
  const HWND runForm = FindWindowA(nullptr, texts::kRunFormCaption);
  const HWND dialog = FindWindowA(nullptr, texts::kDialogCaption);
  const HWND renderer = FindWindowA(nullptr, kRendererWindowTitle);
  return runForm != nullptr || dialog != nullptr || renderer != nullptr;
}

HWND WindowFromNumber(std::int32_t number) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(number));
}

}  // namespace

void Main() {
  forms::app::SetTitle(forms::FromUtf8(texts::kAppTitle));

  if (AnotherInstanceRuns()) forms::app::End(0);

  const CommandLine command = ParseCommandLine(forms::app::Command());

  if (command.mode == HostMode::Preview) {
    OpenPreview(WindowFromNumber(command.previewWindow));
    return;
  }

  LoadSettings();

  if (!FileExists(forms::app::Path() + texts::kRendererFile)) {
    forms::app::MsgBox(forms::FromUtf8(texts::kRendererMissing), MB_OK);
    forms::app::End(0);
  }

  if (command.mode == HostMode::Configure) {
    ShowSettingsDialog();
    forms::app::End(0);
  }

  if (command.mode == HostMode::None) return;

  if (command.mode == HostMode::RunCursorHidden) CursorState = ShowCursor(FALSE);

  RunForm().Load();
}

}  // namespace orlinde
