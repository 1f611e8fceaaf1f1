#include "linux/ProgramOptions.h"

#include <charconv>
#include <limits>

#include "scene/RainScene.h"

namespace orlinde {
namespace {

// A whole decimal number with an optional sign, nothing else; empty when out of the 64-bit range.
std::optional<std::int64_t> ParseDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

enum class Option {
  kRoot,
  kWindow,
  kWindowId,
  kFullscreen,
  kMonitors,
  kTexture,
  kRainInterval,
  kDelay,
  kFps,
  kHelp,
  kWayland,
  kX11
};

struct OptionName {
  std::string_view name;
  Option option;
  bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"root", Option::kRoot, false},
    {"window", Option::kWindow, false},
    {"window-id", Option::kWindowId, true},
    {"fullscreen", Option::kFullscreen, false},
    {"monitors", Option::kMonitors, true},
    {"texture", Option::kTexture, true},
    {"rain-interval", Option::kRainInterval, true},
    {"delay", Option::kDelay, true},
    {"fps", Option::kFps, false},
    {"help", Option::kHelp, false},
    {"wayland", Option::kWayland, false},
    {"x11", Option::kX11, false},
};

ParsedOptions Refuse(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

std::optional<MonitorMode> ParseMonitorsOption(std::string_view text) {
  for (const MonitorMode mode : {MonitorMode::kEach, MonitorMode::kPrimary, MonitorMode::kSpan}) {
    if (MonitorModeName(mode) == text) return mode;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
  std::uint64_t value = 0;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value == 0 || value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return value;
}

ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments) {
  ProgramOptions options;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    std::string_view word = arguments[k];
    if (word.size() < 2 || word[0] != '-') return Refuse("unexpected argument \"" + std::string(word) + "\"");
    word.remove_prefix(word[1] == '-' ? 2 : 1);
    std::optional<std::string_view> attached;
    if (const std::size_t equals = word.find('='); equals != std::string_view::npos) {
      attached = word.substr(equals + 1);
      word = word.substr(0, equals);
    }
    const OptionName* found = nullptr;
    for (const OptionName& candidate : kOptions) {
      if (candidate.name == word) found = &candidate;
    }
    if (found == nullptr) return Refuse("unknown option \"" + std::string(arguments[k]) + "\"");
    const std::string name = "--" + std::string(found->name);
    std::string_view value;
    if (found->takesValue) {
      if (attached) {
        value = *attached;
      } else if (k + 1 < arguments.size()) {
        value = arguments[++k];
      } else {
        return Refuse(name + " needs a value");
      }
    } else if (attached) {
      return Refuse(name + " takes no value");
    }

    switch (found->option) {
      case Option::kRoot:
        options.target = DrawTarget::kRoot;
        break;
      case Option::kWindow:
        options.target = DrawTarget::kOwnWindow;
        break;
      case Option::kWindowId: {
        const auto id = ParseWindowId(value);
        if (!id) return Refuse(name + ": \"" + std::string(value) + "\" is no window id");
        options.target = DrawTarget::kWindowId;
        options.windowId = *id;
        break;
      }
      case Option::kFullscreen:
        options.fullscreen = true;
        break;
      case Option::kMonitors: {
        const auto mode = ParseMonitorsOption(value);
        if (!mode) return Refuse(name + ": \"" + std::string(value) + "\" is not each, primary or span");
        options.monitors = *mode;
        break;
      }
      case Option::kTexture:
        if (value.empty()) return Refuse(name + " needs a file name");
        options.texture = std::string(value);
        break;
      case Option::kRainInterval: {
        // Below the floor means the floor, as the keypad's plus key rules it.
        const auto ms = ParseDecimal(value);
        if (!ms || *ms > std::numeric_limits<std::int32_t>::max()) {
          return Refuse(name + ": \"" + std::string(value) + "\" is no number of milliseconds");
        }
        options.rainInterval = static_cast<std::int32_t>(*ms < kRainIntervalFloor ? kRainIntervalFloor : *ms);
        break;
      }
      case Option::kDelay: {
        const auto usec = ParseDecimal(value);
        if (!usec || *usec < 0 || *usec > kMaxDelayMicroseconds) {
          return Refuse(name + ": \"" + std::string(value) + "\" is no delay from 0 to 10000000 microseconds");
        }
        options.delayMicroseconds = *usec;
        break;
      }
      case Option::kFps:
        options.showFps = true;
        break;
      case Option::kHelp:
        options.help = true;
        break;
      case Option::kWayland:
      case Option::kX11: {
        const ShellChoice choice = found->option == Option::kWayland ? ShellChoice::kWayland : ShellChoice::kX11;
        if (options.shell != ShellChoice::kAuto && options.shell != choice) {
          return Refuse("--wayland and --x11 exclude each other");
        }
        options.shell = choice;
        break;
      }
    }
  }
  return {options, {}};
}

ResolvedPlace ResolveDrawPlace(const ProgramOptions& options, const char* saverWindow) {
  using Kind = DrawPlace::Kind;
  switch (options.target) {
    case DrawTarget::kOwnWindow:
      return {DrawPlace{Kind::kOwnWindow, 0}, {}};
    case DrawTarget::kWindowId:
      return {DrawPlace{Kind::kGivenWindow, options.windowId}, {}};
    case DrawTarget::kRoot:
    case DrawTarget::kDefault:
      break;
  }
  if (saverWindow == nullptr) {
    return {DrawPlace{options.target == DrawTarget::kRoot ? Kind::kRootWindow : Kind::kOwnWindow, 0}, {}};
  }
  const auto id = ParseWindowId(saverWindow);
  if (!id) return {std::nullopt, "XSCREENSAVER_WINDOW=\"" + std::string(saverWindow) + "\" is no window id"};
  return {DrawPlace{Kind::kGivenWindow, *id}, {}};
}

ChosenShell ChooseShell(const ProgramOptions& options, const char* waylandDisplay, const char* saverWindow) {
  const bool xWindowAsked = options.target == DrawTarget::kWindowId;
  switch (options.shell) {
    case ShellChoice::kX11:
      return {Shell::kX11, {}};
    case ShellChoice::kWayland:
      if (xWindowAsked) return {std::nullopt, "--window-id names an X window: not with --wayland"};
      return {Shell::kWayland, {}};
    case ShellChoice::kAuto:
      break;
  }
  const bool compositorNamed = waylandDisplay != nullptr && *waylandDisplay != '\0';
  if (compositorNamed && !xWindowAsked && saverWindow == nullptr) return {Shell::kWayland, {}};
  return {Shell::kX11, {}};
}

std::string UsageText(std::string_view programName) {
  std::string text = "usage: " + std::string(programName) + " [options]\n";
  text +=
      "Rain on a tilted square of water: as an XScreenSaver hack or in a window of its own on X11, as the\n"
      "screen saver of sway and the other layer-shell desktops or in a window of its own on Wayland.\n"
      "  --root               X11: draw on $XSCREENSAVER_WINDOW, else on the root window;\n"
      "                       Wayland: cover every output until a key, a button or the pointer moves\n"
      "  --window-id ID       draw on the X window ID (0x... or decimal)\n"
      "  --window             draw in a window of its own (the default without $XSCREENSAVER_WINDOW)\n"
      "  --fullscreen         ask the window manager to show that window full screen, on every monitor\n"
      "  --monitors MODE      how a full-screen or root window over several monitors is filled:\n"
      "                       each (the default): one rain per monitor; primary: the primary monitor's\n"
      "                       alone, black on the others; span: one rain across all of them (on\n"
      "                       Wayland a surface cannot cross outputs: span acts as each, and primary\n"
      "                       is the output the compositor picks)\n"
      "  --texture FILE       the picture reflected in the water (24-bit BMP; default: the built-in caustics)\n"
      "  --rain-interval MS   milliseconds between drops (default 1000, at least 25)\n"
      "  --delay USEC         least microseconds between frames (default 0: paced by the display)\n"
      "  --fps                show the frame rate in a corner\n"
      "  --wayland, --x11     draw through that display system (default: Wayland when $WAYLAND_DISPLAY is\n"
      "                       set and no X window is named by --window-id or $XSCREENSAVER_WINDOW)\n"
      "  --help               show this text\n"
      "Options take one dash or two. In its own window: arrows turn and tilt, Space drops a drop,\n"
      "keypad + and - change the rain rate, Escape or q ends it.\n"
      "Environment: XSCREENSAVER_WINDOW names the window to draw on; ORLINDE_UNPACED=1 draws frames as fast\n"
      "as it can (for measuring); ORLINDE_VERBOSE=1 says on stderr where it draws.\n";
  return text;
}

}  // namespace orlinde
