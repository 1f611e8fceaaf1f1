#include "host/app/RunFormWin32.h"
#include <windows.h>

#include "assets/HostResources.h"
#include "common/CodePageWin32.h"
#include "common/CursorRule.h"
#include "common/HandOverPath.h"
#include "common/WindowTitles.h"
#include "host/app/HostTexts.h"
#include "host/forms/AppWin32.h"
#include "host/forms/SystemNamesWin32.h"

namespace orlinde {

namespace {

// Writes the built-in texture, which is stored as the whole bitmap file, to `path` byte for byte. A file
// that could not be written completely is removed, so the renderer never reads half a picture.
bool WriteHandOverBitmap(const std::string& path) {
  if (path.empty()) return false;
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_CAUSTICS_BMP), forms::WideName(RT_RCDATA));
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
bool StartProgram(const std::string& path) {
  std::string commandLine = path;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The pointer position; (0, 0) when it cannot be read.
POINT ReadCursor() {
  POINT point{};
  if (GetCursorPos(&point) == 0) point = POINT{0, 0};
  return point;
}

}  // namespace

Velsora_S::Velsora_S(Host& host)
    : forms::Form(FromUtf8(kRunFormCaption)),
      Timer1(*this, 1000, false, [this] { host_.Music.Mp3Watch(); }),
      Timer2(*this, 200, false, [this] { CdWatchTick(); }),
      Timer3(*this, 50, true, [this] { MouseWatch(); }),
      DeskWatch(*this, 1000, false, [this] { Covers.Follow(); }),
      host_(host) {}

// The run start. The music and the mouse watch start whatever the steps before did, so the run always
// ends on the pointer. Without the hand-over picture the renderer is not started: it could only end at
// once, unable to read its texture.
void Velsora_S::OnLoad() {
  RendererPath = forms::app::Path() + texts::kRendererFile;
  if (WriteHandOverBitmap(HandOverBitmapPath())) StartProgram(RendererPath);
  Covers.Lay(host_.Monitors);
  DeskWatch.SetEnabled(host_.Monitors == MonitorMode::kPrimary);

  music::MusicPlayer& player = host_.Music;
  source_ = music::SourceOf(host_.BgmSettings);
  switch (source_) {
    case music::MusicSource::Cd:
      player.CdOpen();
      Timer2.SetEnabled(true);
      break;
    case music::MusicSource::Wav:
      player.WavPlay();
      break;
    case music::MusicSource::Mp3:
      player.Mp3Open();
      Timer1.SetEnabled(true);
      break;
    case music::MusicSource::None:
      break;
  }

  // The reference point is taken after the renderer and the music have started.
  const POINT cursor = ReadCursor();
  host_.CursorX = static_cast<std::int16_t>(cursor.x);
  host_.CursorY = static_cast<std::int16_t>(cursor.y);
}

void Velsora_S::CdWatchTick() {
  host_.Music.CdWatch();
  Timer2.SetEnabled(host_.Music.CdWatchActive);
}

void Velsora_S::MouseWatch() {
  const POINT cursor = ReadCursor();
  if (!CursorMovedFar(host_.CursorX, host_.CursorY, cursor.x, cursor.y)) return;
  Timer3.SetEnabled(false);
  Unload();
}

// The run end, whoever asked for the unload; it ends the process, so the unload never completes.
void Velsora_S::OnQueryUnload(bool&, forms::UnloadMode) {
  music::MusicPlayer& player = host_.Music;
  if (Timer2.Enabled()) {
    Timer2.SetEnabled(false);
    player.CdClose();
  }
  if (source_ == music::MusicSource::Wav) player.WavStop();
  if (source_ == music::MusicSource::Mp3) player.Mp3Close();
  // The cursor was hidden once at start-up for the run switch; one show gives it back.
  if (host_.Mode == HostMode::RunCursorHidden) host_.CursorState = ShowCursor(TRUE);
  const std::string handOver = HandOverBitmapPath();
  if (!handOver.empty()) DeleteFileA(handOver.c_str());
  DeskWatch.SetEnabled(false);
  Covers.Remove();
  forms::app::End(0);
}

// Monitors added, removed or moved: the covers follow them.
bool Velsora_S::OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
  if (message == WM_DISPLAYCHANGE) Covers.Relay();
  return false;
}

}  // namespace orlinde
