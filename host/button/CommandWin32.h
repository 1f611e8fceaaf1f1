// The Command button's window: a child control of the host's form layer around the portable model
// (Command.h), which is made with the control. Every message goes straight to the model; the shell only
// paints what the model composed (the face buffer with one blit, the caption with GDI) and turns the
// model's requests into window calls (the mouse timer, a repaint, Click to the container).
//
//   WM_CREATE                 restore the stored property set, make the caption font, start a timer the
//                             model asked for before the window existed
//   WM_SIZE                   Resized
//   WM_SETFOCUS/WM_KILLFOCUS  FocusGained / FocusLost
//   button down               focus (left button, enabled control), capture, MouseDown
//   WM_MOUSEMOVE              MouseMove, while the pointer is over the control
//   button up                 release the capture, MouseUp (which may raise Click last)
//   WM_TIMER TmrMouse         TimerTick: is the window under the pointer this one?
//   WM_PAINT                  face + caption composed off screen, one blit to the window
//
// The model's Enabled is mirrored onto the window (EnableWindow), so that a disabled button neither takes
// the focus nor looks enabled to the system; the window text is the caption.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/button/Command.h"
#include "host/button/CommandProperties.h"
#include "host/forms/ControlWin32.h"
#include "host/forms/GdiWin32.h"

namespace orlinde::button {

// The six state images from the program's resources, read once and shared by every button.
std::shared_ptr<const ButtonImages> SharedButtonImages();

class CommandControl final : public forms::WindowedControl {
 public:
  // `stored`: the instance's stored property set (none: the control keeps its creation values);
  // `ambientFont`: the font the container offers its controls.
  CommandControl(forms::Container& container, Rect bounds, std::optional<MemoryPropertyBag> stored,
                 FontDesc ambientFont);

  // Raised to the container. The control does nothing after raising it, so the handler may unload the form.
  std::function<void()> Click;

  // Raises Click as a keyboard press on the focused button does (the dialog's key handling calls it; the
  // control itself handles no keys). Nothing while the control is disabled.
  void PerformClick();

  // Public members of the control (see Command.h); Enabled and SetEnabled are the control's own property,
  // not the form layer's window flag.
  void Initialize() { model_.Initialize(); }
  bool Enabled();
  void SetEnabled(bool New_Enabled) { model_.SetEnabled(New_Enabled); }
  const std::string& Caption() const { return model_.Caption(); }
  void SetCaption(std::string_view New_Caption) { model_.SetCaption(New_Caption); }
  const FontDesc& Font() const { return model_.Font(); }
  void SetFont(const FontDesc& New_Font) { model_.SetFont(New_Font); }

  const Command& Model() const { return model_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // What the model asks of the window.
  class Host final : public CommandHost {
   public:
    explicit Host(CommandControl& control) : control_(control) {}
    void PropertyChanged(std::string_view name) override;
    void Click() override;
    void StartMouseTimer(unsigned intervalMs) override;
    void Refresh() override;

   private:
    CommandControl& control_;
  };

  void WindowCreated();
  void MatchFont();
  void MirrorEnabled();
  void ButtonDown(MouseButton button);
  void ButtonUp(MouseButton button, WPARAM heldKeys);
  void Paint();
  // The face and the caption, into the off-screen canvas of the paint.
  void DrawFace(HDC dc, const RECT& client);

  Host host_{*this};
  Command model_;
  MemoryPropertyBag stored_;
  bool hasStored_;
  FontDesc ambientFont_;
  unsigned pendingTimerMs_ = 0;
  forms::FontObject font_;
  FontDesc fontMadeFrom_;
};

}  // namespace orlinde::button
