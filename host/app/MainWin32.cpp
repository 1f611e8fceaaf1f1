#include "host/app/MainWin32.h"
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/CodePageWin32.h"
#include "common/SettingsFileWin32.h"
#include "common/WindowTitles.h"
#include "host/app/CommandLine.h"
#include "host/app/HostTexts.h"
#include "host/app/PreviewFormWin32.h"
#include "host/app/RunFormWin32.h"
#include "host/app/ZoomWin32.h"
#include "host/dialog/SettingsDialogWin32.h"
#include "host/forms/AppWin32.h"
#include "host/settings/SettingsWin32.h"

namespace orlinde {

namespace {

// True when a run form, a settings dialog or a renderer window exists. All three are always looked up.
bool AnotherInstanceRuns() {
  const HWND runForm = FindWindowA(nullptr, kRunFormCaption);
  const HWND dialog = FindWindowA(nullptr, kDialogCaption);
  const HWND renderer = FindWindowA(nullptr, kRendererWindowTitle);
  return runForm != nullptr || dialog != nullptr || renderer != nullptr;
}

HWND WindowFromNumber(std::int32_t number) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(number));
}

// The argument text of this process's command line (what follows the program name), ANSI bytes.
std::string CommandArguments() {
  const char* line = GetCommandLineA();
  return std::string(ArgumentsOf(line != nullptr ? line : ""));
}

// Configure mode: the settings dialog on the host's record, modal; returns when it has closed. The dialog
// follows the display's dots per inch, so the process asks the system for the real figure before
// anything measures the screen.
void ShowSettingsDialog(Host& host) {
  SetProcessDPIAware();
  dialog::DialogHost context{
      host.BgmSettings,
      host.Monitors,
      host.CursorX,
      host.CursorY,
      SettingsPath(),
      [&host](HWND window) { ZoomOpen(window, host.CursorX, host.CursorY); },
      [&host](HWND window) { ZoomClose(window, host.CursorX, host.CursorY); },
  };
  Velsora_P dialog(forms::app::Scale().dpiY, context);
  dialog.Show(forms::ShowMode::Modal);
}

}  // namespace

std::unique_ptr<forms::Form> Main(Host& host) {
  forms::app::SetTitle(FromUtf8(texts::kAppTitle));

  if (AnotherInstanceRuns()) forms::app::End(0);

  const CommandLine command = ParseCommandLine(CommandArguments());
  host.Mode = command.mode;

  if (command.mode == HostMode::Preview) {
    OpenPreview(WindowFromNumber(command.previewWindow));
    return nullptr;
  }

  LoadSettings(host.BgmSettings);
  host.Monitors = ReadMonitorModeBesideProgram();

  if (!FileExists(forms::app::Path() + texts::kRendererFile)) {
    forms::app::MsgBox(FromUtf8(texts::kRendererMissing), MB_OK);
    forms::app::End(0);
  }

  if (command.mode == HostMode::Configure) {
    ShowSettingsDialog(host);
    forms::app::End(0);
  }

  if (command.mode == HostMode::None) return nullptr;

  if (command.mode == HostMode::RunCursorHidden) host.CursorState = ShowCursor(FALSE);

  auto runForm = std::make_unique<Velsora_S>(host);
  runForm->Load();
  return runForm;
}

}  // namespace orlinde
