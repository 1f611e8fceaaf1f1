#include "host/button/Command.h"

#include <utility>

#include "host/button/NumberText.h"

namespace orlinde::button {

namespace {

const PixelBuffer& NoImage() {
  static const PixelBuffer empty;
  return empty;
}

}  // namespace

Command::Command(CommandHost& host, std::shared_ptr<const ButtonImages> images)
    : host_(host), images_(std::move(images)) {}

// ---- public members --------------------------------------------------------------------------------------

void Command::Initialize() {
  state_ = kNormal;
  host_.StartMouseTimer(kMouseTimerMs);
}

std::uint8_t Command::Visible() {
  if (faceMode_ == 0) return 0;
  RedrawNormal();
  return 255;
}

void Command::SetVisible(std::uint8_t New_Visible) {
  if (New_Visible != 0) {
    faceMode_ = 1;
    RedrawNormal();
  } else {
    faceMode_ = 0;
    host_.Refresh();  // the face is no longer shown; its retained image is left as it is
  }
  host_.PropertyChanged(key::kVisible);
}

std::uint32_t Command::FontColour() {
  const std::uint32_t colour = captionColour_;
  RedrawNormal();
  return colour;
}

void Command::SetFontColour(std::uint32_t New_FontColour) {
  captionColour_ = New_FontColour;
  host_.Refresh();
  RedrawNormal();
  host_.PropertyChanged(key::kFontColour);
}

bool Command::Enabled() {
  if (firstRun_ == 0) {
    RedrawNormal();
    firstRun_ = 1;
    enabled_ = true;
  }
  const bool result = enabled_;
  ApplyEnabled();
  return result;
}

void Command::SetEnabled(bool New_Enabled) {
  enabled_ = New_Enabled;
  host_.PropertyChanged(key::kEnabled);
  ApplyEnabled();
}

void Command::SetCaption(std::string_view New_Caption) {
  captionText_ = New_Caption;
  host_.Refresh();
  host_.PropertyChanged(key::kCaption);
}

void Command::SetFont(const FontDesc& New_Font) {
  captionFont_ = New_Font;
  host_.Refresh();
  host_.PropertyChanged(key::kFont);
}

// ---- stored property set -------------------------------------------------------------------------------

void Command::ReadProperties(const PropertyBag& bag, const FontDesc& ambientFont) {
  // A value that does not convert leaves its field as it was; the other keys are still read.
  if (const std::optional<std::string> v = bag.Read(key::kEnabled)) {
    if (const std::optional<bool> b = TextToBoolean(*v)) enabled_ = *b;
  } else {
    enabled_ = true;
  }
  captionText_ = bag.Read(key::kCaption).value_or(kCaptionReadDefault);
  if (const std::optional<std::string> v = bag.Read(key::kFont)) {
    if (const std::optional<FontDesc> f = DecodeFont(*v)) captionFont_ = *f;
  } else {
    captionFont_ = ambientFont;
  }
  if (const std::optional<std::uint8_t> b = TextToByte(bag.Read(key::kFirstRun).value_or("1"))) firstRun_ = *b;
  if (const std::optional<std::int32_t> c = TextToInt32(bag.Read(key::kFontColour).value_or("0"))) {
    captionColour_ = static_cast<std::uint32_t>(*c);
  }
  // The face is either transparent (0) or opaque (1); any other number is not a face mode.
  if (const std::optional<std::int16_t> m = TextToInt16(bag.Read(key::kVisible).value_or("1"))) {
    if (*m == 0 || *m == 1) faceMode_ = *m;
  }
  host_.Refresh();
  RedrawNormal();
}

void Command::WriteProperties(PropertyBag& bag, const FontDesc& ambientFont) {
  auto put = [&bag](const char* name, const std::string& value, const std::string& byDefault) {
    if (value == byDefault) {
      bag.Remove(name);
    } else {
      bag.Write(name, value);
    }
  };
  put(key::kEnabled, enabled_ ? "-1" : "0", "-1");
  put(key::kCaption, captionText_, kCaptionWriteDefault);
  put(key::kFirstRun, std::to_string(firstRun_), "1");
  put(key::kFont, EncodeFont(captionFont_), EncodeFont(ambientFont));
  put(key::kFontColour, std::to_string(static_cast<std::int32_t>(captionColour_)), "0");
  put(key::kVisible, std::to_string(faceMode_), "1");
  RedrawNormal();
}

// ---- notifications -------------------------------------------------------------------------------------

void Command::Resized(int width, int height) {
  face_.Resize(width, height);
  ApplyEnabled();
}

void Command::FocusGained() {
  if (!enabled_) return;
  if (state_ == kHighLight) {
    state_ = kHighLightSelect;
    DrawButton(ButtonImage::Pressed);
  } else {
    state_ = kSelected;
    DrawButton(ButtonImage::Selected);
  }
}

void Command::FocusLost() {
  if (!enabled_) return;
  if (state_ != kNormal) {
    state_ = kNormal;
    DrawButton(ButtonImage::Normal);
  }
}

void Command::MouseDown(MouseButton button) {
  if (!enabled_) return;
  if (button == MouseButton::Left) {
    buttonDown_ = true;
    DrawButton(ButtonImage::Pressed);
  }
}

void Command::MouseMove() {
  if (!enabled_) return;
  if (state_ == kNormal) {
    state_ = kHighLight;
    DrawButton(ButtonImage::HighLight);
  } else if (state_ == kSelected && !buttonDown_) {
    state_ = kHighLightSelect;
    DrawButton(ButtonImage::HighLightSelect);
  }
}

void Command::MouseUp(MouseButton button) {
  if (!enabled_) return;
  if (button == MouseButton::Left) {
    if (state_ == kHighLight) {
      DrawButton(ButtonImage::Normal);
    } else if (state_ == kHighLightSelect) {
      DrawButton(ButtonImage::HighLightSelect);
    }
    buttonDown_ = false;
  }
  // The Click rule, whichever button was released. Raising it is the last thing done here.
  if (state_ != kSelected && enabled_) host_.Click();
}

void Command::TimerTick(bool pointerOverControl) {
  if (!enabled_) return;
  if (!pointerOverControl) LeaveHover();
}

// ---- drawing -------------------------------------------------------------------------------------------

void Command::LeaveHover() {
  if (!enabled_) return;
  if (state_ == kHighLight) {
    state_ = kNormal;
    DrawButton(ButtonImage::Normal);
  } else if (state_ == kHighLightSelect) {
    state_ = kSelected;
    DrawButton(ButtonImage::Selected);
  }
}

void Command::DrawButton(ButtonImage image) {
  if (state_ == kNormal || state_ == kSelected) gradientReversed_ = false;
  if (state_ == kHighLight) gradientReversed_ = true;
  PaintFace(face_, images_ ? (*images_)[image] : NoImage(), gradientReversed_);
  lastDrawn_ = image;
  host_.Refresh();
  captionArea_ = CaptionRect(face_.Width(), face_.Height(), captionHeight_);
}

void Command::RedrawNormal() {
  if (!enabled_) return;
  SetCaptionEnabled(true);
  if (firstRun_ == 0 && captionColour_ != 0) {
    captionColour_ = 0;
    host_.Refresh();
  }
  DrawButton(ButtonImage::Normal);
}

void Command::ApplyEnabled() {
  if (enabled_) {
    DrawButton(ButtonImage::Normal);
    SetCaptionEnabled(true);
  } else {
    DrawButton(ButtonImage::Disable);
    SetCaptionEnabled(false);
  }
}

void Command::SetCaptionEnabled(bool on) {
  if (captionEnabled_ == on) return;
  captionEnabled_ = on;
  host_.Refresh();
}

std::vector<TextPass> Command::CaptionPasses(const SystemColours& colours) const {
  if (captionEnabled_) return {{0, 0, captionColour_}};
  return {{1, 1, colours.highlight}, {0, 0, colours.shadow}};
}

}  // namespace orlinde::button
