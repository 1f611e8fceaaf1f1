// The host's process-wide values. They are plain globals on purpose: the start-up routine, the run form, the
// settings dialog and the music player all read and write them directly. Text is ANSI code-page bytes.
#pragma once

#include <cstdint>
#include <string>

namespace orlinde {

// The three background-music settings kept in "Orlinde.ini".
struct BgmSettingsRecord {
  std::int16_t BgmKind = 0;    // 0 none, 1 music CD, 2 MP3 or WAV file; other values play nothing
  std::int16_t BgmRepeat = 0;  // CD track to keep repeating, 0 = none
  std::string BgmFile;         // full path of the MP3 or WAV file, ANSI bytes; empty when none
};

inline constexpr std::int16_t kBgmNone = 0;
inline constexpr std::int16_t kBgmCd = 1;
inline constexpr std::int16_t kBgmFile = 2;

// Starts as (0, 0, empty); filled once by LoadSettings, changed by the settings dialog.
extern BgmSettingsRecord BgmSettings;

// Result of the host's latest system call (profile writes, MCI codes, sound calls, window calls).
extern std::int32_t LastApiResult;

// Pointer position recorded by the run form and the settings dialog; 0, 0 when it cannot be read.
extern std::int16_t CursorX;
extern std::int16_t CursorY;

// Display count returned by ShowCursor(FALSE) in run mode; handed back to ShowCursor at the run's end.
extern std::int32_t CursorState;

}  // namespace orlinde
