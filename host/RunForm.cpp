#include "RunForm.h"
#include <windows.h>

#include "App.h"
#include "CommandLine.h"
#include "CursorRule.h"
#include "HandOverPath.h"
#include "HostState.h"
#include "HostTexts.h"
#include "MusicWin32.h"
#include "OrlindeResources.h"
#include "Text.h"

namespace orlinde {

namespace {

// Writes the built-in texture, which is stored as the whole bitmap file, to `path` byte for byte. A file
// that could not be written completely is removed, so the renderer never reads half a picture.
bool WriteHandOverBitmap(const std::string& path) {
  if (path.empty()) return false;
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_CAUSTICS_BMP), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return false;
  const HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (bytes == nullptr || size == 0) return false;

  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  const bool closed = CloseHandle(file) != 0;
  if (!ok || !closed) {
    DeleteFileA(path.c_str());
    return false;
  }
  return true;
}

// Starts the renderer with its path as the whole command line, shown normally; no wait, no handle kept.
// The path is also given as the program name, so a folder with blanks in its name is no problem.
std::int32_t StartProgram(const std::string& path) {
  std::string commandLine = path;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 0;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<std::int32_t>(process.dwProcessId);
}

// The pointer position; (0, 0) when it cannot be read.
POINT ReadCursor(std::int32_t& result) {
  POINT point{};
  result = GetCursorPos(&point);
  if (result == 0) point = POINT{0, 0};
  return point;
}

}  // namespace

Velsora_S::Velsora_S()
    : forms::Form(forms::FromUtf8(texts::kRunFormCaption)),
      Timer1(*this, 1000, false, [] { music::Music().Mp3Watch(); }),
      Timer2(*this, 200, false, [this] { CdWatchTick(); }),
      Timer3(*this, 50, true, [this] { MouseWatch(); }) {}

Velsora_S& RunForm() {
  static Velsora_S form;
  return form;
}

// The run start. Each step goes on whatever the one before did.
void Velsora_S::OnLoad() {
  WriteHandOverBitmap(HandOverBitmapPath());

  RendererPath = forms::app::Path() + texts::kRendererFile;
  scratch_ = StartProgram(RendererPath);

  music::MusicPlayer& player = music::Music();
  if (BgmSettings.BgmKind == kBgmCd) {
    player.CdOpen();
    Timer2.SetEnabled(true);
  }
  if (BgmSettings.BgmKind == kBgmFile) {
    switch (music::FileMusicOf(BgmSettings.BgmFile)) {
      case music::FileMusic::Wav:
        player.WavPlay();
        break;
      case music::FileMusic::Mp3:
        player.Mp3Open();
        Timer1.SetEnabled(true);
        break;
      case music::FileMusic::None:
        break;
    }
  }

  // The reference point is taken after the renderer and the music have started.
  const POINT cursor = ReadCursor(scratch_);
  CursorX = static_cast<std::int16_t>(cursor.x);
  CursorY = static_cast<std::int16_t>(cursor.y);
}

void Velsora_S::CdWatchTick() {
  music::MusicPlayer& player = music::Music();
  player.CdWatch();
  Timer2.SetEnabled(player.CdWatchActive);
}

void Velsora_S::MouseWatch() {
  const POINT cursor = ReadCursor(scratch_);
  if (!CursorMovedFar(CursorX, CursorY, cursor.x, cursor.y)) return;
  Timer3.SetEnabled(false);
  Unload();
}

// The run end, whoever asked for the unload; it ends the process, so the unload never completes.
void Velsora_S::OnQueryUnload(bool&, forms::UnloadMode) {
  music::MusicPlayer& player = music::Music();
  if (Timer2.Enabled()) {
    Timer2.SetEnabled(false);
    player.CdClose();
  }
  if (BgmSettings.BgmKind == kBgmFile) {
    switch (music::FileMusicOf(BgmSettings.BgmFile)) {
      case music::FileMusic::Wav:
        player.WavStop();
        break;
      case music::FileMusic::Mp3:
        player.Mp3Close();
        break;
      case music::FileMusic::None:
        break;
    }
  }
  // The cursor was hidden once at start-up for the run switch; one show gives it back.
  if (SwitchCharacter(forms::app::Command()) == 'S') CursorState = ShowCursor(TRUE);
  const std::string handOver = HandOverBitmapPath();
  if (!handOver.empty()) DeleteFileA(handOver.c_str());
  forms::app::End(0);
}

}  // namespace orlinde
