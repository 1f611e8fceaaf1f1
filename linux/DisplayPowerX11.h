// The Linux program's side of display power: the monitor's level as the X server's DPMS extension reports
// it, asked at most once a second and fed into the scene's DisplayPower decision. Standby, suspend and off
// pause the rain; on, DPMS switched off and a server without the extension (Xvfb, Xvnc, most remote
// displays) draw.
#pragma once

#include <X11/Xlib.h>

#include "scene/DisplayPower.h"
#include "scene/FramePacer.h"

namespace orlinde {

class DpmsWatchX11 {
 public:
  // `verbose`: says on stderr what the level is whenever it changes.
  DpmsWatchX11(Display* display, bool verbose);

  // Asks the server when a second has passed since the last question, and tells `power`.
  void Poll(Microseconds now, DisplayPower& power);

 private:
  enum class Level { kNoExtension, kDisabled, kOn, kStandby, kSuspend, kOff, kUnread };
  Level Read() const;
  static const char* Text(Level level);

  Display* display_;
  bool verbose_;
  bool present_ = false;
  Level last_ = Level::kUnread;
  Microseconds nextPoll_ = 0;
  bool polled_ = false;
};

}  // namespace orlinde
