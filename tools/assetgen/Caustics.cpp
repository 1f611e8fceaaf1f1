// Water caustics: parallel light falls through a wavy, periodic water surface and is bent at it; where
// the bent rays crowd together on the floor below they draw the bright web of lines. The surface is a
// sum of waves whose frequencies are whole numbers of cycles across the picture, so the picture tiles.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {
namespace {

constexpr int kSize = 256;
constexpr int kRaysPerPixelSide = 4;
constexpr double kPi = 3.14159265358979323846;

struct Wave {
  int kx, ky;        // whole cycles across the picture
  double amplitude;  // in pixels of height
  double phase;
};

constexpr Wave kWaves[] = {
    {6, 2, 1.00, 0.3},   {-2, 8, 0.85, 1.7},  {4, -6, 0.70, 4.1}, {10, 4, 0.40, 2.2},
    {-8, 10, 0.30, 5.3}, {12, -2, 0.22, 0.9}, {2, 14, 0.18, 3.6}, {-14, -6, 0.12, 1.1},
};

// How far a ray moves on the floor per unit of surface slope.
constexpr double kRefraction = 21.0;

double WrapCoordinate(double v) {
  v = std::fmod(v, static_cast<double>(kSize));
  return v < 0.0 ? v + kSize : v;
}

// Light gathered at each floor pixel, 1.0 where the surface is flat.
std::vector<double> GatherLight() {
  std::vector<double> light(static_cast<std::size_t>(kSize) * kSize, 0.0);
  const double weight = 1.0 / (kRaysPerPixelSide * kRaysPerPixelSide);
  const int rays = kSize * kRaysPerPixelSide;
  for (int ry = 0; ry < rays; ++ry) {
    for (int rx = 0; rx < rays; ++rx) {
      const double x = (rx + 0.5) / kRaysPerPixelSide;
      const double y = (ry + 0.5) / kRaysPerPixelSide;
      double gx = 0.0, gy = 0.0;
      for (const Wave& w : kWaves) {
        const double angle = 2.0 * kPi * (w.kx * x + w.ky * y) / kSize + w.phase;
        const double c = std::cos(angle) * w.amplitude * 2.0 * kPi / kSize;
        gx += c * w.kx;
        gy += c * w.ky;
      }
      const double fx = WrapCoordinate(x + kRefraction * gx - 0.5);
      const double fy = WrapCoordinate(y + kRefraction * gy - 0.5);
      // Spread the ray over the four nearest pixels.
      const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
      const double ax = fx - x0, ay = fy - y0;
      const int x1 = (x0 + 1) % kSize, y1 = (y0 + 1) % kSize;
      light[y0 * kSize + x0] += weight * (1 - ax) * (1 - ay);
      light[y0 * kSize + x1] += weight * ax * (1 - ay);
      light[y1 * kSize + x0] += weight * (1 - ax) * ay;
      light[y1 * kSize + x1] += weight * ax * ay;
    }
  }
  // A light 3 × 3 blur (wrapping) softens the sampling noise.
  std::vector<double> soft(light.size());
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      double sum = 0.0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const double k = (dx == 0 ? 2.0 : 1.0) * (dy == 0 ? 2.0 : 1.0);
          sum += k * light[((y + dy + kSize) % kSize) * kSize + (x + dx + kSize) % kSize];
        }
      soft[y * kSize + x] = sum / 16.0;
    }
  }
  return soft;
}

// A few warm glints where the brightest lines cross: the brightest pixel near each of these places.
constexpr int kGlintSeeds[][2] = {{40, 52}, {178, 30}, {120, 140}, {222, 200}, {64, 214}};

}  // namespace

orlinde::Image24 MakeCausticsTexture() {
  const std::vector<double> light = GatherLight();
  orlinde::Image24 image(kSize, kSize);

  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double l = light[y * kSize + x];
      const double line = Clamp01((l - 0.75) / 2.2);  // 0 in the dark, 1 on the strongest lines
      const double white = Clamp01((l - 2.2) / 3.0);  // the cores of the lines turn white
      const double depth = 0.5 + 0.5 * std::sin(2 * kPi * (x + 2 * y) / kSize);  // a slow swell of blue
      const double r = 0.02 + 0.20 * line + 0.78 * white;
      const double g = 0.10 + 0.03 * depth + 0.70 * line + 0.17 * white;
      const double b = 0.32 + 0.08 * depth + 0.60 * line;
      unsigned char* px = image.At(x, y);
      px[0] = ToByte(r);
      px[1] = ToByte(g);
      px[2] = ToByte(b);
    }
  }

  for (const auto& seed : kGlintSeeds) {
    int bestX = seed[0], bestY = seed[1];
    for (int dy = -12; dy <= 12; ++dy)
      for (int dx = -12; dx <= 12; ++dx) {
        const int x = (seed[0] + dx + kSize) % kSize, y = (seed[1] + dy + kSize) % kSize;
        if (light[y * kSize + x] > light[bestY * kSize + bestX]) {
          bestX = x;
          bestY = y;
        }
      }
    for (int dy = -4; dy <= 4; ++dy)
      for (int dx = -4; dx <= 4; ++dx) {
        const double a = std::exp(-(dx * dx + dy * dy) / 4.5);
        unsigned char* px = image.At((bestX + dx + kSize) % kSize, (bestY + dy + kSize) % kSize);
        px[0] = ToByte((px[0] * (1 - a) + 255 * a) / 255.0);
        px[1] = ToByte((px[1] * (1 - a) + 150 * a) / 255.0);
        px[2] = ToByte((px[2] * (1 - a) + 40 * a) / 255.0);
      }
  }
  return image;
}

}  // namespace assetgen
