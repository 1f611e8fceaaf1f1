// The button's six 64 × 25 state images. Only their outer 4-pixel band is ever drawn: ring 0 is the
// outermost pixel, ring 1 the dark frame, rings 2 and 3 the rim or coloured ring inside it. Each ring has
// a colour on the top row, a colour on the bottom row, and side columns shading from a top colour to a
// bottom colour; the four corners are rounded by blending the frame into its neighbours. The interior is
// never shown and holds the face's gradient, so that the pictures look like the button they stand for.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr int kW = 64, kH = 25;

struct Colour {
  double r, g, b;
};

constexpr Colour C(std::uint32_t rrggbb) {
  return {static_cast<double>((rrggbb >> 16) & 0xFF), static_cast<double>((rrggbb >> 8) & 0xFF),
          static_cast<double>(rrggbb & 0xFF)};
}

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct Ring {
  Colour top, sideTop, sideBottom, bottom;
};

struct Band {
  std::array<Ring, 4> rings;  // ring 1 is the frame
  // Corner shades of the frame: the light and dark rounding pixels and the inner corner pixel, for the
  // top-left corner and for the other three.
  Colour light, dark, inner;
  Colour lightOther, darkOther, innerOther;
  bool normalTopLeft = false;  // the frame's top-left corner is exactly the Normal one
};

void Put(orlinde::Image24& image, int x, int y, Colour c) {
  std::uint8_t* p = image.At(x, y);
  p[0] = static_cast<std::uint8_t>(std::lround(c.r));
  p[1] = static_cast<std::uint8_t>(std::lround(c.g));
  p[2] = static_cast<std::uint8_t>(std::lround(c.b));
}

Colour RingColour(const Ring& ring, int x, int y, int k) {
  if (y == k) return ring.top;
  if (y == kH - 1 - k) return ring.bottom;
  (void)x;
  return Mix(ring.sideTop, ring.sideBottom, static_cast<double>(y - k) / (kH - 1 - 2 * k));
}

// The top-left corner of the Normal picture, row by row.
constexpr std::uint32_t kNormalTopLeft[4][4] = {
    {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
    {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
    {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
    {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
};

orlinde::Image24 MakeBand(const Band& band) {
  orlinde::Image24 image(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const int k = std::min(std::min(x, y), std::min(kW - 1 - x, kH - 1 - y));
      if (k >= 4) {
        Put(image, x, y, Mix(C(0xFFFFFF), C(0xC6C5D7), static_cast<double>(y) / (kH - 1)));
      } else {
        Put(image, x, y, RingColour(band.rings[static_cast<std::size_t>(k)], x, y, k));
      }
    }
  }
  // Rounded corners: (u, v) counts from the corner's outermost pixel inward, in each corner's own mirror.
  const Colour frame = band.rings[1].top;
  for (int corner = 0; corner < 4; ++corner) {
    const bool right = corner == 1 || corner == 2, lower = corner >= 2;
    const bool first = corner == 0;
    for (int v = 0; v < 4; ++v) {
      for (int u = 0; u < 4; ++u) {
        const int x = right ? kW - 1 - u : u, y = lower ? kH - 1 - v : v;
        const Colour outer = RingColour(band.rings[0], x, lower ? kH - 1 : 0, 0);
        const Colour rim = RingColour(band.rings[2], x, lower ? kH - 3 : 2, 2);
        const int a = std::min(u, v), b = std::max(u, v);
        Colour c;
        if (a == 0) {
          c = b == 0 ? Mix(outer, C(0xFFFFFF), 0.3) : outer;
        } else if (a == 1 && b == 1) {
          c = Mix(outer, C(0xFFFFFF), 0.15);
        } else if (a == 1 && b == 2) {
          c = first ? band.light : band.lightOther;
        } else if (a == 1 && b == 3) {
          c = first ? band.dark : band.darkOther;
        } else if (a == 2 && b == 2) {
          c = first ? band.inner : band.innerOther;
        } else if (a == 2 && b == 3) {
          c = Mix(frame, rim, 0.75);
        } else {
          c = RingColour(band.rings[3], x, lower ? kH - 4 : 3, 3);
        }
        Put(image, x, y, c);
      }
    }
  }
  if (band.normalTopLeft) {
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const bool frameOrOutside = std::min(x, y) <= 1 || (x == 2 && y == 2);
        if (frameOrOutside) Put(image, x, y, C(kNormalTopLeft[y][x]));
      }
    }
  }
  return image;
}

// Ring 0 and the frame of Normal, HighLight, HighLightSelect and Selected.
constexpr Ring kBeige = {C(0xE0DCC9), C(0xE2DECB), C(0xF3F1E8), C(0xF9F8F2)};
constexpr Ring kBlueFrame = {C(0x003C74), C(0x003C74), C(0x003C74), C(0x003C74)};
constexpr Ring kMargin = {C(0xECE9D8), C(0xECE9D8), C(0xECE9D8), C(0xECE9D8)};

Band FramedBand(Ring ring2, Ring ring3) {
  return {{kBeige, kBlueFrame, ring2, ring3},
          C(0x7A95A8),
          C(0x255783),
          C(0x557DA2),
          C(0x6788A0),
          C(0x164D7E),
          C(0x4A77A0),
          true};
}

}  // namespace

orlinde::Image24 MakeButtonNormal() {
  orlinde::Image24 image = MakeBand(FramedBand({C(0xFEFEFE), C(0xFEFEFE), C(0xF0EFEA), C(0xD6D0C5)},
                                               {C(0xFDFDFC), C(0xFDFDFC), C(0xF4F3EE), C(0xE2DFD6)}));
  // The Normal corner is given whole: its rim pixels too.
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) Put(image, x, y, C(kNormalTopLeft[y][x]));
  }
  return image;
}

orlinde::Image24 MakeButtonHighLight() {
  return MakeBand(FramedBand({C(0xFFF0CF), C(0xFCD279), C(0xF8B435), C(0xE59700)},
                             {C(0xFDD889), C(0xFCD279), C(0xF8B435), C(0xF8B230)}));
}

orlinde::Image24 MakeButtonHighLightSelect() {
  return MakeButtonHighLight();
}

orlinde::Image24 MakeButtonSelected() {
  return MakeBand(FramedBand({C(0xCEE7FF), C(0xB7D0F4), C(0x8BADE4), C(0x6982EE)},
                             {C(0xCEE7FF), C(0xB7D0F4), C(0x8BADE4), C(0x6982EE)}));
}

orlinde::Image24 MakeButtonPressed() {
  const Band band = {{kMargin, kBlueFrame, Ring{C(0xD0CBBF), C(0xD0CBBF), C(0xE6E4DC), C(0xF2F1EE)},
                      Ring{C(0x9DA8AC), C(0xC4C8C6), C(0xEAE9E4), C(0xF2F1EE)}},
                     C(0x6F8AA0),
                     C(0x1D4F7E),
                     C(0x4C7198),
                     C(0x6F8AA0),
                     C(0x1D4F7E),
                     C(0x4C7198),
                     false};
  return MakeBand(band);
}

orlinde::Image24 MakeButtonDisable() {
  const Ring grey = {C(0xC9C7BA), C(0xC9C7BA), C(0xC9C7BA), C(0xC9C7BA)};
  const Ring inside = {C(0xF5F4EA), C(0xF5F4EA), C(0xF5F4EA), C(0xF5F4EA)};
  const Band band = {{kMargin, grey, inside, inside},
                     C(0xD8D5C7),
                     C(0xCBC9BC),
                     C(0xD5D2C4),
                     C(0xD8D5C7),
                     C(0xCBC9BC),
                     C(0xD5D2C4),
                     false};
  return MakeBand(band);
}

}  // namespace assetgen
