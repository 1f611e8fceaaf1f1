// The about panel's frame composition, without its window: the 309 × 25 buffers, the streak and sparkle
// blends, the raster operations and the animation state. The shell draws the text with GDI into three
// layers once at set-up and hands them in; each timer tick it calls DrawFrame and blits Frame() to the
// panel with one SetDIBitsToDevice.
//
// Set-up (dialog load): draw sHomePage in "Times New Roman" 14 pt at (2, 2) into three 309 × 25 32-bit
// buffers — live text in kTextColour on black, black on white (picTextM), white on black (PictextB),
// all with the same font and smoothing so the letter shapes match — then SetUp(...), then start the 30 ms
// timer. The live text is the same every frame, so drawing it once and copying it each frame gives the
// same pixels as drawing it every frame.
#pragma once

#include <array>
#include <cstdint>

#include "host/button/PixelBuffer.h"

namespace orlinde::dialog {

inline constexpr int kPanelWidth = 309;
inline constexpr int kPanelHeight = 25;
inline constexpr int kHiliteWidth = 69;
inline constexpr int kHiliteHeight = 125;
inline constexpr int kStarSize = 28;
inline constexpr int kStarFrames = 4;  // the sparkle pictures that are drawn (0 to 3)
inline constexpr int kHiliteStep = 8;
inline constexpr int kStarX = 287;
inline constexpr int kStarY = 4;
inline constexpr unsigned kFrameIntervalMs = 30;  // Timer1
inline constexpr int kTextX = 2;
inline constexpr int kTextY = 2;
inline constexpr int kTextPointSize = 14;
inline constexpr char kTextFont[] = "Times New Roman";
inline constexpr Pixel kTextColour = Rgb(200, 200, 100);

// The blend parameters of both alpha blends, in the order of BLENDFUNCTION: AC_SRC_OVER, flags 0x20,
// constant alpha 254, AC_SRC_ALPHA.
struct BlendParameters {
  std::uint8_t blendOp = 0;
  std::uint8_t blendFlags = 0x20;
  std::uint8_t sourceConstantAlpha = 254;
  std::uint8_t alphaFormat = 1;
};
inline constexpr BlendParameters PanelBlend{};

// What that blend computes for pictures without alpha: each channel min(255, dst + src × 254 ÷ 255),
// the quotient truncated. `src` placed at (x, y), clipped at the edges of `dst`.
Pixel BlendPixel(Pixel dst, Pixel src, const BlendParameters& blend = PanelBlend);
void BlendAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src, const BlendParameters& blend = PanelBlend);

class AboutPanel {
 public:
  // The streak (69 × 125) and the four drawn sparkle pictures (28 × 28 each).
  AboutPanel(PixelBuffer hilite, std::array<PixelBuffer, kStarFrames> stars);

  // Buffers sized and blanked, the text layers taken (each cut or padded to 309 × 25 — black, or white
  // for the black-on-white mask), lHiliteX = −69, the sparkle idle.
  void SetUp(const PixelBuffer& liveText, const PixelBuffer& maskBlackOnWhite, const PixelBuffer& maskWhiteOnBlack);

  // The operations of one frame.
  void ClearBuffer();
  void Cleartext();
  void ApplyHiLite(std::int32_t X);
  void ApplyStar(std::int16_t img, std::int32_t X, std::int32_t Y);

  // Which streak position and sparkle picture a frame used (−1: no sparkle).
  struct FrameReport {
    std::int32_t hiliteX = 0;
    int star = -1;
  };
  FrameReport DrawFrame();

  const PixelBuffer& Frame() const { return picBuffer_; }
  const PixelBuffer& TextLayer() const { return picText_; }

  std::int32_t HiliteX() const { return lHiliteX_; }
  std::int16_t Star() const { return iStar_; }
  std::int16_t StarStep() const { return iStarStep_; }
  bool StarOn() const { return bStarOn_; }

 private:
  PixelBuffer picHilite_;
  std::array<PixelBuffer, kStarFrames> picStar_;
  PixelBuffer picBuffer_, picBlank_, picText_, picTextM_, picTextB_, liveText_;

  std::int32_t lHiliteX_ = -kHiliteWidth;
  std::int16_t iStar_ = 0;
  std::int16_t iStarStep_ = 0;
  bool bStarOn_ = false;
};

}  // namespace orlinde::dialog
