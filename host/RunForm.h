// The run form Velsora_S, caption "Velsora_Main": never shown. Loading it starts a run (hand-over picture,
// renderer, music, mouse reference); its mouse watch ends the run, and so does any request to unload it
// (the system's, at logoff, or WM_CLOSE).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Form.h"
#include "MusicPlayer.h"
#include "Timer.h"

namespace orlinde {

class Velsora_S final : public forms::Form {
 public:
  Velsora_S();

  forms::Timer Timer1;  // 1000 ms, MP3 watch; on only for an MP3 file
  forms::Timer Timer2;  // 200 ms, CD watch; on only for the music CD
  forms::Timer Timer3;  // 50 ms, mouse watch; always on

  // Program folder + "\Orlinde.xy".
  std::string RendererPath;

 protected:
  void OnLoad() override;
  void OnQueryUnload(bool& cancel, forms::UnloadMode mode) override;

 private:
  void MouseWatch();
  void CdWatchTick();

  // Receives the renderer start's result and the mouse reads; nothing reads it.
  std::int32_t scratch_ = 0;
};

// The process's one run form.
Velsora_S& RunForm();

}  // namespace orlinde
