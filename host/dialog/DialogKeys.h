// The settings dialog from the keyboard, without its window: the focus stops in layout order, and what a
// key does given the stop that has the focus. The shell turns window messages into a Key and a KeyContext
// and carries out the KeyAction it gets back; the Command buttons keep no keyboard handling of their own.
//
// Stops, in the order Tab visits them: the three music sources as one stop (the arrow keys move the
// choice), the three display modes as one stop (the same), the track box, the file button, 設定, ｷｬﾝｾﾙ.
// The about panel is not a stop. A disabled stop is skipped.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/DisplaySetting.h"

namespace orlinde::dialog {

enum class Stop { Sources, Monitors, TrackBox, FileButton, Save, Cancel, None };
inline constexpr std::size_t kStopCount = 6;  // the real stops; None is "the window itself"

enum class Key { Tab, Left, Right, Up, Down, Enter, Escape, Space, Other };

// What the shell knows when a key goes down.
struct KeyContext {
  Stop focused = Stop::None;
  // Which stops can take the focus now (indexed by Stop).
  std::array<bool, kStopCount> enabled{true, true, true, true, true, true};
  std::int16_t source = 0;                     // the music source now chosen (BgmKind)
  bool shift = false;                          // Shift held (Shift+Tab goes backwards)
  bool control = false;                        // Ctrl held: the key is left to the control
  bool repeat = false;                         // the key is held down and repeating
  bool listDropped = false;                    // the track box's list is open
  MonitorMode monitors = kDefaultMonitorMode;  // the display mode now chosen
};

struct KeyAction {
  enum Kind {
    PassOn,          // the focused control handles the key as usual (typing in the track box, ...)
    Swallow,         // nothing happens, and the control does not see the key either
    MoveFocus,       // focus `stop`
    Select,          // choose music source `source`; the focus stays on the sources
    SelectMonitors,  // choose display mode `monitors`; the focus stays on the display modes
    Click,           // raise Click of the Command at `stop`
    Save,            // what 設定 does
    Cancel,          // what ｷｬﾝｾﾙ does
    CloseList,       // close the track box's open list, as a list's own Escape or Enter does
  };
  Kind kind = PassOn;
  Stop stop = Stop::None;
  std::int16_t source = 0;
  MonitorMode monitors = kDefaultMonitorMode;
  bool operator==(const KeyAction&) const = default;
};

// The stop Tab (forwards) or Shift+Tab (backwards) moves to from `from`: the next enabled stop in layout
// order, wrapping around; from None, the first (forwards) or last (backwards) enabled stop. None when no
// stop is enabled.
Stop NextStop(Stop from, bool backwards, const std::array<bool, kStopCount>& enabled);

// The music source an arrow key moves to on the sources stop. The rows read 1 (music CD), 0 (none),
// 2 (file) from the top; Down and Right go down, Up and Left go up, wrapping around. From a source outside
// 0..2 (none ticked), Down and Right choose the top row and Up and Left the bottom one.
std::int16_t SourceAfterArrow(std::int16_t source, Key arrow);

// The display mode an arrow key moves to on the display-mode stop. The rows read each, primary, span from
// the top; Down and Right go down, Up and Left go up, wrapping around.
MonitorMode MonitorsAfterArrow(MonitorMode mode, Key arrow);

// The source whose label shows the focus cue while the sources stop has the focus: the chosen one, or
// the top row when none is ticked.
std::int16_t CueSource(std::int16_t source);

// What a key going down does.
KeyAction OnKeyDown(Key key, const KeyContext& context);

}  // namespace orlinde::dialog
