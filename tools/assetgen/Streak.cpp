// The about panel's light streak, 69 × 125, grey on black: the given bell-shaped cross-section laid
// along a line that slants from x = 53 in the top row to x = 18 in the bottom row. Between whole-pixel
// positions the cross-section is interpolated linearly; it falls to 0 one pixel beyond each end.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr int kWidth = 69, kHeight = 125;
constexpr double kTopCentre = 53.0, kBottomCentre = 18.0;
constexpr int kPeakIndex = 18;  // the brightest entry of the cross-section
constexpr int kSection[] = {8,   11,  15,  20,  26,  32, 40, 48, 58, 69, 80, 93, 107, 122, 137, 152, 164, 172, 174, 170,
                            161, 147, 132, 116, 100, 86, 73, 61, 51, 41, 33, 26, 20,  16,  11,  8,   6,   4,   2,   1};
constexpr int kSectionLength = static_cast<int>(sizeof(kSection) / sizeof(kSection[0]));

double SectionAt(double offset) {
  auto entry = [](int i) { return i < 0 || i >= kSectionLength ? 0.0 : static_cast<double>(kSection[i]); };
  const double base = std::floor(offset);
  const double t = offset - base;
  const int i = static_cast<int>(base);
  return entry(i) * (1.0 - t) + entry(i + 1) * t;
}

}  // namespace

double StreakCentre(int row) {
  return kTopCentre + (kBottomCentre - kTopCentre) * row / (kHeight - 1);
}

orlinde::Image24 MakeStreak() {
  orlinde::Image24 image(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    const double centre = StreakCentre(y);
    for (int x = 0; x < kWidth; ++x) {
      const auto v = static_cast<std::uint8_t>(std::lround(SectionAt(x - centre + kPeakIndex)));
      std::uint8_t* p = image.At(x, y);
      p[0] = p[1] = p[2] = v;
    }
  }
  return image;
}

}  // namespace assetgen
