#include "common/BitmapFile.h"

namespace orlinde {
namespace {

void PutLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<std::uint8_t>((v >> (8 * k)) & 0xFF);
}

}  // namespace

std::size_t BitmapRowStride(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

std::vector<std::uint8_t> EncodeBitmap24(const Image24& image) {
  const std::size_t stride = BitmapRowStride(image.width);
  const std::size_t dataSize = stride * static_cast<std::size_t>(image.height);
  std::vector<std::uint8_t> out(kBitmapHeaderBytes + dataSize, 0);

  out[0] = 'B';
  out[1] = 'M';
  PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
  PutLe32(out, 10, static_cast<std::uint32_t>(kBitmapHeaderBytes));
  PutLe32(out, 14, static_cast<std::uint32_t>(kBitmapInfoHeaderBytes));
  PutLe32(out, 18, static_cast<std::uint32_t>(image.width));
  PutLe32(out, 22, static_cast<std::uint32_t>(image.height));
  PutLe16(out, 26, 1);   // planes
  PutLe16(out, 28, 24);  // bits per pixel
  PutLe32(out, 30, 0);   // BI_RGB
  PutLe32(out, 34, static_cast<std::uint32_t>(dataSize));
  PutLe32(out, 38, 3780);  // 96 dots per inch, in pixels per metre
  PutLe32(out, 42, 3780);

  for (int row = 0; row < image.height; ++row) {
    const int y = image.height - 1 - row;  // bottom row first
    std::uint8_t* dst = &out[kBitmapHeaderBytes + static_cast<std::size_t>(row) * stride];
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* px = image.At(x, y);
      dst[x * 3 + 0] = px[2];
      dst[x * 3 + 1] = px[1];
      dst[x * 3 + 2] = px[0];
    }
  }
  return out;
}

std::uint16_t ReadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace orlinde
