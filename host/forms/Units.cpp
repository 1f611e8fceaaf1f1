#include "host/forms/Units.h"

#include <cstdint>

namespace orlinde::forms {

int ScaleRounded(int value, int numerator, int denominator) {
  if (denominator <= 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t rounded = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(rounded);
}

namespace {
int PerPixel(int dpi) {
  const int ratio = ScaleRounded(kTwipsPerInch, 1, dpi);
  return ratio < 1 ? 1 : ratio;
}
}  // namespace

int TwipsScale::TwipsPerPixelX() const {
  return PerPixel(dpiX);
}
int TwipsScale::TwipsPerPixelY() const {
  return PerPixel(dpiY);
}
int TwipsScale::PixelsToTwipsX(int pixels) const {
  return ScaleRounded(pixels, kTwipsPerInch, dpiX);
}
int TwipsScale::PixelsToTwipsY(int pixels) const {
  return ScaleRounded(pixels, kTwipsPerInch, dpiY);
}
int TwipsScale::TwipsToPixelsX(int twips) const {
  return ScaleRounded(twips, dpiX, kTwipsPerInch);
}
int TwipsScale::TwipsToPixelsY(int twips) const {
  return ScaleRounded(twips, dpiY, kTwipsPerInch);
}

}  // namespace orlinde::forms
