// Twips and pixels. Forms are placed and sized in twips (1440 to the inch); controls and drawing work in
// pixels. The screen's dots per inch decide the ratio: 15 twips make a pixel at 96 dpi, 12 at 120 dpi.
#pragma once

namespace orlinde::forms {

inline constexpr int kTwipsPerInch = 1440;

// The ratio for one screen, from its horizontal and vertical dots per inch.
struct TwipsScale {
  int dpiX = 96;
  int dpiY = 96;

  // Whole twips per pixel, rounded to the nearest (15 at 96 dpi); at least 1.
  int TwipsPerPixelX() const;
  int TwipsPerPixelY() const;

  // Conversions round to the nearest whole unit, halves away from zero, so that a size converted to twips
  // and back comes out as it went in.
  int PixelsToTwipsX(int pixels) const;
  int PixelsToTwipsY(int pixels) const;
  int TwipsToPixelsX(int twips) const;
  int TwipsToPixelsY(int twips) const;
};

// value × numerator ÷ denominator in 64-bit arithmetic, rounded to the nearest, halves away from zero;
// 0 when the denominator is not positive.
int ScaleRounded(int value, int numerator, int denominator);

}  // namespace orlinde::forms
