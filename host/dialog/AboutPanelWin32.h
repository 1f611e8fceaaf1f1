// picDisplay, the about panel's window: a 309 x 25 child control that shows the frames the portable
// panel (AboutPanel.h) composes. GDI draws the three text layers once at set-up; each frame reaches the
// window with one blit. The pointer over the panel is a hand; a left click raises Click.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "host/dialog/AboutPanel.h"
#include "host/forms/ControlWin32.h"

namespace orlinde::dialog {

class AboutPanelControl final : public forms::WindowedControl {
 public:
  AboutPanelControl(forms::Container& container, Rect bounds);

  // A left button pressed and released over the panel.
  std::function<void()> Click;

  // Set-up at load: the text (UTF-8) drawn into the live layer and the two masks, the streak at its
  // start, the sparkle idle. The panel shows black until the first frame.
  void SetUp(std::string_view text);
  // One tick of Timer1: the panel composes the next frame; one blit puts it on screen.
  void DrawFrame();

  const AboutPanel& Panel() const { return panel_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowFrame(HDC dc) const;

  AboutPanel panel_;
  bool pressed_ = false;
};

}  // namespace orlinde::dialog
