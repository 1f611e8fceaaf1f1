// How a run uses several monitors: the one display setting, kept in "Orlinde.ini" beside the programs as
//
//   [Display]
//   Monitors=each
//
// Both Windows programs read it (the host to know what to cover in black, the renderer to know where to
// draw) and the settings dialog writes it, all through the functions here, so that they can never read
// the same line differently. The file itself is reached through IniValues (SettingsFile.h).
#pragma once

#include <string_view>

#include "common/SettingsFile.h"

namespace orlinde {

// each: every monitor shows its own rain; primary: the primary monitor shows the rain and the others are
// black; span: one rain across the bounding box of all monitors.
enum class MonitorMode { kEach, kPrimary, kSpan };

// The mode used for a missing file, section or key and for a value that names no mode.
inline constexpr MonitorMode kDefaultMonitorMode = MonitorMode::kEach;

namespace display_ini {
inline constexpr char kSection[] = "Display";
inline constexpr char kMonitorsKey[] = "Monitors";
}  // namespace display_ini

// The mode a value names: "each", "primary" or "span", in any letter case (a hand-edited "Span" counts),
// with blanks and tabs around it ignored. Anything else, the empty text included, is the default, each.
MonitorMode ParseMonitorMode(std::string_view text);

// The value written for a mode: "each", "primary" or "span" (always lower case).
std::string_view MonitorModeName(MonitorMode mode);

// [Display] Monitors= of the file, parsed as above.
MonitorMode ReadMonitorMode(IniValues& file);

// Writes [Display] Monitors=<name>; every other section and key of the file stays. True on success.
bool WriteMonitorMode(IniValues& file, MonitorMode mode);

}  // namespace orlinde
