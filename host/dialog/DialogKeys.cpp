#include "host/dialog/DialogKeys.h"

namespace orlinde::dialog {

namespace {

// The source rows from the top of the panel.
constexpr std::array<std::int16_t, 3> kRowsTopDown{1, 0, 2};
// The display-mode rows from the top.
constexpr std::array<MonitorMode, 3> kMonitorRowsTopDown{MonitorMode::kEach, MonitorMode::kPrimary, MonitorMode::kSpan};

bool IsCommand(Stop stop) {
  return stop == Stop::FileButton || stop == Stop::Save || stop == Stop::Cancel;
}

bool IsEnabled(Stop stop, const std::array<bool, kStopCount>& enabled) {
  const auto index = static_cast<std::size_t>(stop);
  return index < kStopCount && enabled[index];
}

}  // namespace

Stop NextStop(Stop from, bool backwards, const std::array<bool, kStopCount>& enabled) {
  const int count = static_cast<int>(kStopCount);
  const int step = backwards ? count - 1 : 1;
  // From None, start one before the first stop (forwards) or one after the last (backwards).
  int at = from == Stop::None ? (backwards ? 0 : count - 1) : static_cast<int>(from);
  for (int tried = 0; tried < count; ++tried) {
    at = (at + step) % count;
    if (enabled[static_cast<std::size_t>(at)]) return static_cast<Stop>(at);
  }
  return Stop::None;
}

std::int16_t SourceAfterArrow(std::int16_t source, Key arrow) {
  const bool down = arrow == Key::Down || arrow == Key::Right;
  const int rows = static_cast<int>(kRowsTopDown.size());
  int row = -1;
  for (int i = 0; i < rows; ++i) {
    if (kRowsTopDown[static_cast<std::size_t>(i)] == source) row = i;
  }
  if (row < 0) return down ? kRowsTopDown.front() : kRowsTopDown.back();
  row = (row + (down ? 1 : rows - 1)) % rows;
  return kRowsTopDown[static_cast<std::size_t>(row)];
}

MonitorMode MonitorsAfterArrow(MonitorMode mode, Key arrow) {
  const bool down = arrow == Key::Down || arrow == Key::Right;
  constexpr std::size_t rows = std::tuple_size_v<decltype(kMonitorRowsTopDown)>;
  std::size_t row = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    if (kMonitorRowsTopDown[i] == mode) row = i;
  }
  return kMonitorRowsTopDown[(row + (down ? 1 : rows - 1)) % rows];
}

std::int16_t CueSource(std::int16_t source) {
  return source >= 0 && source <= 2 ? source : kRowsTopDown.front();
}

KeyAction OnKeyDown(Key key, const KeyContext& context) {
  if (context.control) return {};
  const Stop focused = context.focused;
  const bool onCommand = IsCommand(focused) && IsEnabled(focused, context.enabled);
  switch (key) {
    case Key::Tab: {
      const Stop next = NextStop(focused, context.shift, context.enabled);
      if (next == Stop::None) return {KeyAction::Swallow};
      return {KeyAction::MoveFocus, next};
    }
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
      if (focused == Stop::Sources) return {KeyAction::Select, Stop::Sources, SourceAfterArrow(context.source, key)};
      if (focused == Stop::Monitors) {
        return {KeyAction::SelectMonitors, Stop::Monitors, 0, MonitorsAfterArrow(context.monitors, key)};
      }
      return {};
    case Key::Enter:
      if (focused == Stop::TrackBox && context.listDropped) return {KeyAction::CloseList, Stop::TrackBox};
      // A held key confirms once: its repeats do nothing.
      if (context.repeat) return {KeyAction::Swallow};
      if (onCommand) return {KeyAction::Click, focused};
      return {KeyAction::Save};
    case Key::Space:
      if (!onCommand) return {};
      if (context.repeat) return {KeyAction::Swallow};
      return {KeyAction::Click, focused};
    case Key::Escape:
      if (focused == Stop::TrackBox && context.listDropped) return {KeyAction::CloseList, Stop::TrackBox};
      if (context.repeat) return {KeyAction::Swallow};
      return {KeyAction::Cancel};
    case Key::Other:
      break;
  }
  return {};
}

}  // namespace orlinde::dialog
