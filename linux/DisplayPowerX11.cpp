#include "linux/DisplayPowerX11.h"

#include <X11/extensions/dpms.h>
#include <cstdio>

namespace orlinde {

namespace {

// How long between two questions to the DPMS extension.
constexpr Microseconds kDpmsInterval = 1'000'000;

}  // namespace

DpmsWatchX11::DpmsWatchX11(Display* display, bool verbose) : display_(display), verbose_(verbose) {
  int eventBase = 0, errorBase = 0;
  present_ = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
}

void DpmsWatchX11::Poll(Microseconds now, DisplayPower& power) {
  if (polled_ && now < nextPoll_) return;
  polled_ = true;
  nextPoll_ = now + kDpmsInterval;
  const Level level = Read();
  power.DisplayOff(level == Level::kStandby || level == Level::kSuspend || level == Level::kOff);
  if (verbose_ && level != last_) {
    std::fprintf(stderr, "orlinde: display power: %s, %s\n", Text(level), power.ShouldDraw() ? "drawing" : "paused");
  }
  last_ = level;
}

DpmsWatchX11::Level DpmsWatchX11::Read() const {
  if (!present_) return Level::kNoExtension;
  CARD16 level = 0;
  BOOL enabled = False;
  if (!DPMSInfo(display_, &level, &enabled)) return Level::kNoExtension;
  if (!enabled) return Level::kDisabled;
  switch (level) {
    case DPMSModeStandby:
      return Level::kStandby;
    case DPMSModeSuspend:
      return Level::kSuspend;
    case DPMSModeOff:
      return Level::kOff;
    default:
      return Level::kOn;
  }
}

const char* DpmsWatchX11::Text(Level level) {
  switch (level) {
    case Level::kNoExtension:
      return "no DPMS extension";
    case Level::kDisabled:
      return "DPMS disabled";
    case Level::kOn:
      return "on";
    case Level::kStandby:
      return "standby";
    case Level::kSuspend:
      return "suspend";
    case Level::kOff:
      return "off";
    case Level::kUnread:
      break;
  }
  return "?";
}

}  // namespace orlinde
