// The program icon: rings of ripples spreading on a round patch of deep water, in one .ico file with
// images of 16, 24, 32, 48 and 256 pixels. Every image is drawn from the same description in units of the
// icon's half-width, with the rings never thinner than about one pixel so that the 16-pixel image still
// reads as rings. Each pixel averages 4 × 4 samples; the patch's edge fades through the alpha channel.
// Entries are 32-bit bitmaps (colour with alpha plus the one-bit mask), stored uncompressed.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr double kPatchRadius = 0.94;
// The drop in the middle and the rings around it; small images have room for two rings only.
constexpr double kRingRadii[] = {0.0, 0.36, 0.64, 0.88};
constexpr double kRingStrength[] = {1.0, 0.95, 0.75, 0.5};
constexpr double kSmallRingRadii[] = {0.0, 0.4375, 0.6875};  // on pixel centres at 16 px
constexpr double kSmallRingStrength[] = {1.0, 0.95, 0.7};
constexpr int kLargestSmallSize = 24;
constexpr int kSamples = 4;

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;
};

double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}

double RingGlow(double r, double pixel, bool small) {
  const double* radii = small ? kSmallRingRadii : kRingRadii;
  const double* strength = small ? kSmallRingStrength : kRingStrength;
  const std::size_t count = small ? std::size(kSmallRingRadii) : std::size(kRingRadii);
  // Gaussian rings; the width keeps at least ~1.3 pixels of the image drawn.
  const double sigma = std::max(0.05, (small ? 0.45 : 0.65) * pixel);
  double glow = 0.0;
  for (std::size_t k = 0; k < count; ++k) {
    const double d = r - radii[k];
    // The drop is a little wider so that it lights whole pixels of the small images.
    const double width = radii[k] == 0.0 ? std::max(sigma, 0.8 * pixel) : sigma;
    glow += strength[k] * std::exp(-d * d / (2.0 * width * width));
  }
  return Clamp01(glow);
}

// One sample at (u, v), both in -1..1 with v growing downwards; a is 0 or 1.
Rgba Sample(double u, double v, double pixel, bool small) {
  const double r = std::sqrt(u * u + v * v);
  if (r > kPatchRadius) return {};
  // Deep blue water, lighter towards the top left where the light comes from.
  const double light = Clamp01(0.5 - 0.35 * (u + v));
  Rgba c{Mix(0.02, 0.06, light), Mix(0.12, 0.36, light), Mix(0.30, 0.62, light), 1.0};
  const double glow = RingGlow(r, pixel, small);
  c.r = Mix(c.r, 0.78, glow);
  c.g = Mix(c.g, 0.96, glow);
  c.b = Mix(c.b, 1.00, glow);
  // A dark rim about one pixel wide keeps the patch's edge visible on light backgrounds.
  const double rimWidth = std::max(0.04, 1.1 * pixel);
  if (r > kPatchRadius - rimWidth) {
    c.r *= 0.35;
    c.g *= 0.35;
    c.b *= 0.45;
  }
  return c;
}

void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>((v >> (8 * k)) & 0xFF));
}

// An icon image's resource data: BITMAPINFOHEADER (height doubled: colour plus mask), the colour rows
// bottom-up as blue, green, red, alpha, then the mask rows (1 = transparent), each padded to 4 bytes.
std::vector<std::uint8_t> EncodeIconImage(const IconImage& image) {
  const int n = image.size;
  const std::size_t maskStride = ((static_cast<std::size_t>(n) + 31) / 32) * 4;
  const std::size_t colourBytes = static_cast<std::size_t>(n) * n * 4;
  std::vector<std::uint8_t> out;
  PutLe32(out, 40);
  PutLe32(out, static_cast<std::uint32_t>(n));
  PutLe32(out, static_cast<std::uint32_t>(2 * n));
  PutLe16(out, 1);   // planes
  PutLe16(out, 32);  // bits per pixel
  PutLe32(out, 0);   // BI_RGB
  PutLe32(out, static_cast<std::uint32_t>(colourBytes + maskStride * n));
  for (int k = 0; k < 4; ++k) PutLe32(out, 0);  // resolution and colour counts
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      const std::uint8_t* p = image.At(x, y);
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < n; ++x)
      if (image.At(x, y)[3] == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

IconImage MakeIconImage(int size) {
  IconImage image;
  image.size = size;
  image.rgba.assign(static_cast<std::size_t>(size) * size * 4, 0);
  const double pixel = 2.0 / size;  // one pixel in units of the half-width
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Rgba sum;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double u = (x + (sx + 0.5) / kSamples) * pixel - 1.0;
          const double v = (y + (sy + 0.5) / kSamples) * pixel - 1.0;
          const Rgba s = Sample(u, v, pixel, size <= kLargestSmallSize);
          sum.r += s.r * s.a;
          sum.g += s.g * s.a;
          sum.b += s.b * s.a;
          sum.a += s.a;
        }
      std::uint8_t* p = image.At(x, y);
      if (sum.a > 0.0) {
        p[0] = ToByte(sum.r / sum.a);
        p[1] = ToByte(sum.g / sum.a);
        p[2] = ToByte(sum.b / sum.a);
      }
      p[3] = ToByte(sum.a / (kSamples * kSamples));
    }
  return image;
}

std::vector<std::uint8_t> MakeIconFile() {
  std::vector<std::vector<std::uint8_t>> images;
  for (int size : kIconSizes) images.push_back(EncodeIconImage(MakeIconImage(size)));
  std::vector<std::uint8_t> out;
  PutLe16(out, 0);  // reserved
  PutLe16(out, 1);  // an icon (not a cursor)
  PutLe16(out, static_cast<std::uint16_t>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (std::size_t k = 0; k < images.size(); ++k) {
    const int size = kIconSizes[k];
    out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));  // 0 stands for 256
    out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
    out.push_back(0);  // no palette
    out.push_back(0);
    PutLe16(out, 1);   // planes
    PutLe16(out, 32);  // bits per pixel
    PutLe32(out, static_cast<std::uint32_t>(images[k].size()));
    PutLe32(out, static_cast<std::uint32_t>(offset));
    offset += images[k].size();
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace assetgen
