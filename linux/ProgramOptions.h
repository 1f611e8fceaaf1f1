// The Linux program's command line and where it draws, by XScreenSaver's conventions: options take one
// or two dashes alike, a value follows as the next argument or after "=". Plain text in, plain values
// out; the X11 shell acts on them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/DisplaySetting.h"

namespace orlinde {

inline constexpr std::int32_t kDefaultRainInterval = 1000;
// The longest --delay accepted: ten seconds between frames.
inline constexpr std::int64_t kMaxDelayMicroseconds = 10'000'000;

enum class DrawTarget {
  kDefault,   // no choice made: the saver window when $XSCREENSAVER_WINDOW is set, else an own window
  kRoot,      // --root
  kWindowId,  // --window-id ID
  kOwnWindow  // --window
};

// How a window that covers several monitors is filled (--monitors, the display setting's three modes): the
// --fullscreen window and the root window. A plain --window and a window a daemon hands over always get one
// scene. The option takes the three names (MonitorModeName) written exactly; empty for anything else.
std::optional<MonitorMode> ParseMonitorsOption(std::string_view text);

// Which display system the program draws through (--wayland, --x11, or chosen from the environment).
enum class ShellChoice { kAuto, kWayland, kX11 };

struct ProgramOptions {
  DrawTarget target = DrawTarget::kDefault;
  ShellChoice shell = ShellChoice::kAuto;
  std::uint64_t windowId = 0;  // with kWindowId
  bool fullscreen = false;
  MonitorMode monitors = MonitorMode::kEach;
  std::string texture;                               // empty: the built-in caustics picture
  std::int32_t rainInterval = kDefaultRainInterval;  // milliseconds, never below the keypad's floor
  std::int64_t delayMicroseconds = 0;                // least time between frames; 0: paced by the display
  bool showFps = false;
  bool help = false;
};

struct ParsedOptions {
  std::optional<ProgramOptions> options;  // empty when the command line is refused
  std::string error;                      // then: why, in one line
};

// The arguments after the program's name.
ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments);

// A window id as X programs write it: hexadecimal with 0x (or 0X), else decimal; nothing else around it.
// 0 and values above 32 bits are no window ids.
std::optional<std::uint64_t> ParseWindowId(std::string_view text);

// Where the frames go once the options and the environment are known.
struct DrawPlace {
  enum class Kind { kOwnWindow, kRootWindow, kGivenWindow } kind = Kind::kOwnWindow;
  std::uint64_t windowId = 0;  // with kGivenWindow
};

// `saverWindow` is the value of $XSCREENSAVER_WINDOW (nullptr when unset). Empty with `error` set when the
// variable is needed and is no window id.
struct ResolvedPlace {
  std::optional<DrawPlace> place;
  std::string error;
};
ResolvedPlace ResolveDrawPlace(const ProgramOptions& options, const char* saverWindow);

// The shell that draws: Wayland when asked (--wayland), or when `waylandDisplay` ($WAYLAND_DISPLAY, nullptr
// when unset) names a compositor and no X window was asked for (--window-id, `saverWindow` as
// $XSCREENSAVER_WINDOW); X11 otherwise. Empty with `error` set for --wayland with --window-id.
enum class Shell { kX11, kWayland };
struct ChosenShell {
  std::optional<Shell> shell;
  std::string error;
};
ChosenShell ChooseShell(const ProgramOptions& options, const char* waylandDisplay, const char* saverWindow);

// The usage text, ending with a newline.
std::string UsageText(std::string_view programName);

}  // namespace orlinde
