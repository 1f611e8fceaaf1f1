// The settings dialog's rules without its window: which controls a music source enables, the track
// list and the track text, the file dialog's texts, where the window goes and the home page address.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/settings/Settings.h"

namespace orlinde::dialog {

// The controls' look for one source: which option mark is ticked (indexed by source), whether the track
// box (BGM_Repeat) and the file button (Cmd_BGM) are enabled. A source outside 0..2 ticks nothing and
// leaves both controls disabled.
struct SourceControls {
  std::array<bool, 3> ticked{};
  bool repeatEnabled = false;
  bool fileButtonEnabled = false;
  bool operator==(const SourceControls&) const = default;
};
SourceControls ControlsForSource(std::int16_t kind);

// A number through the digit mask "##": its decimal digits without leading zeros (a minus sign for a
// negative number), and the empty text for 0.
std::string FormatDigitMask(std::int32_t value);

// The 31 entries of the track list: 0 to 30 through "##", so "", "1", ..., "30".
inline constexpr int kRepeatListEntries = 31;
std::vector<std::string> RepeatListEntries();

// The track box's text as the track to repeat: a number rounded to the nearest whole value, halves to
// the even neighbour (2.5 -> 2, 3.5 -> 4); text that is not a number (letters, the empty text) gives 0,
// and so does a number outside -32768..32767.
std::int16_t TrackTextToRepeat(std::string_view text);

// The open-file request. The texts are this program's own (UTF-8); the shell converts the whole filter
// block, embedded zero bytes included, to the ANSI code page before the call.
inline constexpr char kFilterDescription[] = "BGMﾌｧｲﾙ (MP3 WAV)";
inline constexpr char kFilterPattern[] = "*.MP3;*.WAV";
inline constexpr char kFileDialogTitle[] = "ﾌｧｲﾙを開く";
inline constexpr std::size_t kFileBufferBytes = 255;  // file and file-title buffers, zero-filled
// The filter block: description, zero byte, pattern, zero byte, closing zero byte.
std::string FilterBlock(std::string_view description = kFilterDescription, std::string_view pattern = kFilterPattern);
// The chosen path: the file buffer's text up to its first zero byte.
std::string PathFromFileBuffer(const char* buffer, std::size_t bytes);

// Window placement: centred horizontally, at one third of the free height, quotients truncated toward
// zero. Sizes are the outer window's, in screen pixels.
struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};
Point DialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// The address the about panel shows and opens.
inline constexpr char kHomePage[] = "http://www.r-vane.example/";

}  // namespace orlinde::dialog
