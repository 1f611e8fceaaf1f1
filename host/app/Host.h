// The host's state for one process: owned by the entry point and handed to the forms that need it. The
// fields keep the names the rest of the code and its readers know them by.
#pragma once

#include <cstdint>

#include "common/DisplaySetting.h"
#include "host/app/CommandLine.h"
#include "host/music/MusicPlayer.h"
#include "host/settings/Settings.h"

namespace orlinde {

class Host {
 public:
  explicit Host(music::MediaSystem& media) : Music(media, BgmSettings, LastApiResult) {}
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The mode the command line chose; the run's end gives the cursor back when the run hid it.
  HostMode Mode = HostMode::None;

  // Filled by LoadSettings at start-up, changed by the settings dialog, read by the run and its music.
  BgmSettingsRecord BgmSettings;

  // How a run uses several monitors ([Display] Monitors=): read at start-up with the music settings,
  // changed by the settings dialog; the run covers in black only the monitors the renderer leaves.
  MonitorMode Monitors = kDefaultMonitorMode;

  // Result of the music player's latest MCI or sound call (its replies' error codes).
  std::int32_t LastApiResult = 0;

  // Pointer position recorded by the run form (the mouse watch's reference) and by the settings dialog
  // (the zoom's origin); 0, 0 when it cannot be read.
  std::int16_t CursorX = 0;
  std::int16_t CursorY = 0;

  // Display count returned by ShowCursor when a run hides the cursor, and again when its end shows it.
  std::int32_t CursorState = 0;

  // Plays what BgmSettings names during a run; its results go to LastApiResult.
  music::MusicPlayer Music;
};

}  // namespace orlinde
