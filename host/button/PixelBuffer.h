// Plain 32-bit pixel buffers: the form in which the button face and the about panel are composed before
// the window shell puts them on screen with one blit. A pixel is 0x00RRGGBB, the layout of a top-down
// 32-bit DIB section, so a buffer can be handed to SetDIBitsToDevice / StretchDIBits as it is. The top
// byte stays 0 in everything composed here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/forms/Geometry.h"

namespace orlinde {

using Pixel = std::uint32_t;

constexpr Pixel Rgb(unsigned r, unsigned g, unsigned b) {
  return static_cast<Pixel>(((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu));
}
// A colour written RRGGBB, as the pictures' colours are given.
constexpr Pixel Hex(std::uint32_t rrggbb) {
  return rrggbb & 0x00FFFFFFu;
}
constexpr unsigned RedOf(Pixel p) {
  return (p >> 16) & 0xFFu;
}
constexpr unsigned GreenOf(Pixel p) {
  return (p >> 8) & 0xFFu;
}
constexpr unsigned BlueOf(Pixel p) {
  return p & 0xFFu;
}

// Windows colour values (COLORREF, 0x00BBGGRR) to and from pixels.
constexpr Pixel FromColourRef(std::uint32_t bbggrr) {
  return Rgb(bbggrr & 0xFFu, (bbggrr >> 8) & 0xFFu, (bbggrr >> 16) & 0xFFu);
}
constexpr std::uint32_t ToColourRef(Pixel p) {
  return RedOf(p) | (GreenOf(p) << 8) | (BlueOf(p) << 16);
}

class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height, Pixel fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Pixel At(int x, int y) const { return pixels_[Index(x, y)]; }
  Pixel& At(int x, int y) { return pixels_[Index(x, y)]; }
  const Pixel* Data() const { return pixels_.data(); }
  Pixel* Data() { return pixels_.data(); }

  // New size; every pixel becomes `fill` (a resized surface comes out blank in its background colour).
  void Resize(int width, int height, Pixel fill = 0);
  void Fill(Pixel colour);

  // Pictures arrive as rows of red, green, blue bytes, top row first (the generator's and a bitmap's
  // content). A byte count that does not fit the size gives an empty buffer.
  static PixelBuffer FromRgb24(int width, int height, const std::uint8_t* rgb, std::size_t bytes);

  bool operator==(const PixelBuffer&) const = default;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

// Copies `src` rectangle onto `dst` rectangle, stretching or shrinking to fit: destination pixel i takes
// source pixel floor((i + 0.5) × srcSize ÷ dstSize) on each axis (nearest neighbour, as a colour-on-colour
// StretchBlt). Rectangles with no area copy nothing; the parts of the destination outside `dst` and the
// parts of the source rectangle outside `src` are skipped.
void StretchCopy(PixelBuffer& dst, Rect to, const PixelBuffer& src, Rect from);

// The three raster operations of the about panel, over the overlap of `src` placed at (x, y) with `dst`:
// SRCCOPY (dst = src), SRCAND (dst &= src) and SRCPAINT (dst |= src).
void CopyAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src);
void AndAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src);
void OrAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src);

}  // namespace orlinde
