// The run form Velsora_S, caption "Velsora_Main": never shown. Loading it starts a run (hand-over picture,
// renderer, music, mouse reference); its mouse watch ends the run, and so does any request to unload it
// (the system's, at logoff, or WM_CLOSE).
#pragma once

#include <string>

#include "host/app/Host.h"
#include "host/app/MonitorCoverWin32.h"
#include "host/forms/FormWin32.h"
#include "host/forms/TimerWin32.h"
#include "host/music/MusicPlayer.h"

namespace orlinde {

class Velsora_S final : public forms::Form {
 public:
  explicit Velsora_S(Host& host);

  forms::Timer Timer1;     // 1000 ms, MP3 watch; on only for an MP3 file
  forms::Timer Timer2;     // 200 ms, CD watch; on only for the music CD
  forms::Timer Timer3;     // 50 ms, mouse watch; always on
  forms::Timer DeskWatch;  // 1000 ms, the covers follow the monitors; on only in the display mode "primary"

  // Program folder + "\Orlinde.xy".
  std::string RendererPath;

  // Black windows over every monitor but the primary when the display mode is "primary" (none in the
  // other modes), from the renderer's start to the run end.
  MonitorCovers Covers;

 protected:
  void OnLoad() override;
  void OnQueryUnload(bool& cancel, forms::UnloadMode mode) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void MouseWatch();
  void CdWatchTick();

  Host& host_;
  // What this run plays, decided once at its start.
  music::MusicSource source_ = music::MusicSource::None;
};

}  // namespace orlinde
