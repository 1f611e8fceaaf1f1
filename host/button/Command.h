// Command: the host's owner-drawn push button, without its window. The model holds the fields, the
// stored property set, the retained face (a pixel buffer) and the caption element's state; it decides
// every transition of the four-state machine and when to raise Click.
//
// The model is made with its shell's control, before any window exists; the shell (CommandWin32.h) turns
// its window's messages into the calls below and paints what the model composed. The caption is drawn by
// the shell in the control's own window, so mouse messages over the caption arrive as the control's own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/button/ButtonFace.h"
#include "host/button/CommandProperties.h"
#include "host/button/PixelBuffer.h"

namespace orlinde::button {

// The value of State.
enum StateValue : std::uint8_t {
  kUninitialised = 0,
  kNormal = 1,
  kHighLight = 2,
  kSelected = 3,
  kHighLightSelect = 4,
};

inline constexpr unsigned kMouseTimerMs = 100;   // TmrMouse
inline constexpr int kCaptionDesignHeight = 13;  // pixels: 195 twips

// What the control asks of the window around it. Every call has a do-nothing default.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The named property changed ("Visible", "FontColour", "Enabled", "Caption" or "Font").
  virtual void PropertyChanged(std::string_view /*name*/) {}
  // The Click event. The control does nothing after raising it, so the container may disable or destroy
  // the control from its handler.
  virtual void Click() {}
  // Start TmrMouse; it is never stopped.
  virtual void StartMouseTimer(unsigned /*intervalMs*/) {}
  // The face or the caption changed: repaint the window.
  virtual void Refresh() {}
};

// One text drawing pass of the caption: offset from the caption area and colour (0x00BBGGRR).
struct TextPass {
  int dx = 0;
  int dy = 0;
  std::uint32_t colour = 0;
  bool operator==(const TextPass&) const = default;
};

// The platform's 3-D colours that the greyed caption uses (GetSysColor COLOR_3DHILIGHT, COLOR_3DSHADOW).
struct SystemColours {
  std::uint32_t highlight = 0xFFFFFF;
  std::uint32_t shadow = 0x808080;
};

class Command {
 public:
  Command(CommandHost& host, std::shared_ptr<const ButtonImages> images);

  // Public members.
  void Initialize();
  std::uint8_t Visible();
  void SetVisible(std::uint8_t New_Visible);
  std::uint32_t FontColour();
  void SetFontColour(std::uint32_t New_FontColour);
  bool Enabled();
  void SetEnabled(bool New_Enabled);
  const std::string& Caption() const { return captionText_; }
  void SetCaption(std::string_view New_Caption);
  const FontDesc& Font() const { return captionFont_; }
  void SetFont(const FontDesc& New_Font);

  // Notifications from the host.
  void ReadProperties(const PropertyBag& bag, const FontDesc& ambientFont);
  void WriteProperties(PropertyBag& bag, const FontDesc& ambientFont);
  void Resized(int width, int height);
  void FocusGained();
  void FocusLost();
  void MouseDown(MouseButton button);
  void MouseMove();
  void MouseUp(MouseButton button);
  // A TmrMouse tick: whether the window under the pointer is the control's own.
  void TimerTick(bool pointerOverControl);

  // Drawing routines.
  void DrawButton(ButtonImage image);
  void RedrawNormal();
  void ApplyEnabled();
  void LeaveHover();

  // The caption element's measured height in pixels (the shell measures its font); used from the next
  // DrawButton on.
  void SetCaptionHeight(int pixels) { captionHeight_ = pixels; }

  // For the shell's paint.
  const PixelBuffer& Face() const { return face_; }
  bool FaceOpaque() const { return faceMode_ != 0; }
  Rect CaptionArea() const { return captionArea_; }
  bool CaptionEnabled() const { return captionEnabled_; }
  // Enabled caption: one pass in the caption colour. Greyed caption: the platform's disabled text look,
  // the 3-D highlight colour one pixel right and down, then the 3-D shadow colour in place.
  std::vector<TextPass> CaptionPasses(const SystemColours& colours = {}) const;

  // Fields, as they stand.
  std::uint8_t State() const { return state_; }
  bool ButtonDown() const { return buttonDown_; }
  std::uint8_t FirstRun() const { return firstRun_; }
  bool GradientReversed() const { return gradientReversed_; }
  bool EnabledField() const { return enabled_; }  // without the side effects of Enabled()
  std::int16_t FaceMode() const { return faceMode_; }
  // The image the face was last painted from.
  std::optional<ButtonImage> LastDrawn() const { return lastDrawn_; }

 private:
  void SetCaptionEnabled(bool on);

  CommandHost& host_;
  std::shared_ptr<const ButtonImages> images_;

  bool enabled_ = false;
  std::uint8_t state_ = kUninitialised;
  bool buttonDown_ = false;
  std::uint8_t firstRun_ = 0;
  bool gradientReversed_ = false;
  std::int16_t faceMode_ = 1;

  std::string captionText_ = kCaptionDesign;
  FontDesc captionFont_;
  std::uint32_t captionColour_ = 0;
  bool captionEnabled_ = true;
  int captionHeight_ = kCaptionDesignHeight;
  Rect captionArea_{0, 0, 0, kCaptionDesignHeight};

  PixelBuffer face_;
  std::optional<ButtonImage> lastDrawn_;
};

}  // namespace orlinde::button
