#include "host/button/PixelBuffer.h"

#include <algorithm>

namespace orlinde {

PixelBuffer::PixelBuffer(int width, int height, Pixel fill) {
  Resize(width, height, fill);
}

void PixelBuffer::Resize(int width, int height, Pixel fill) {
  if (width <= 0 || height <= 0) {
    width = 0;
    height = 0;
  }
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void PixelBuffer::Fill(Pixel colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
}

PixelBuffer PixelBuffer::FromRgb24(int width, int height, const std::uint8_t* rgb, std::size_t bytes) {
  if (width <= 0 || height <= 0 || rgb == nullptr ||
      bytes != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    return {};
  }
  PixelBuffer out(width, height);
  for (std::size_t i = 0; i < out.pixels_.size(); ++i) {
    out.pixels_[i] = Rgb(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
  }
  return out;
}

void StretchCopy(PixelBuffer& dst, Rect to, const PixelBuffer& src, Rect from) {
  if (to.width <= 0 || to.height <= 0 || from.width <= 0 || from.height <= 0) return;
  for (int j = 0; j < to.height; ++j) {
    const int dy = to.y + j;
    const int sy = from.y + static_cast<int>((2LL * j + 1) * from.height / (2LL * to.height));
    if (dy < 0 || dy >= dst.Height() || sy < 0 || sy >= src.Height()) continue;
    for (int i = 0; i < to.width; ++i) {
      const int dx = to.x + i;
      const int sx = from.x + static_cast<int>((2LL * i + 1) * from.width / (2LL * to.width));
      if (dx < 0 || dx >= dst.Width() || sx < 0 || sx >= src.Width()) continue;
      dst.At(dx, dy) = src.At(sx, sy);
    }
  }
}

namespace {

template <typename Op>
void Combine(PixelBuffer& dst, int x, int y, const PixelBuffer& src, Op op) {
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(dst.Width(), x + src.Width()), y1 = std::min(dst.Height(), y + src.Height());
  for (int dy = y0; dy < y1; ++dy) {
    for (int dx = x0; dx < x1; ++dx) dst.At(dx, dy) = op(dst.At(dx, dy), src.At(dx - x, dy - y));
  }
}

}  // namespace

void CopyAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src) {
  Combine(dst, x, y, src, [](Pixel, Pixel s) { return s; });
}
void AndAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src) {
  Combine(dst, x, y, src, [](Pixel d, Pixel s) { return d & s; });
}
void OrAt(PixelBuffer& dst, int x, int y, const PixelBuffer& src) {
  Combine(dst, x, y, src, [](Pixel d, Pixel s) { return d | s; });
}

}  // namespace orlinde
