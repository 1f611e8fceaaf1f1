// The 24-bit Windows bitmap form that the host writes and the renderer reads: a 14-byte file header,
// a 40-byte information header, no colour table, pixel data from byte 54 on, blue-green-red pixels,
// rows bottom-up, each row padded to a multiple of 4 bytes (a 256-pixel-wide image needs no padding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orlinde {

inline constexpr std::size_t kBitmapFileHeaderBytes = 14;
inline constexpr std::size_t kBitmapInfoHeaderBytes = 40;
inline constexpr std::size_t kBitmapHeaderBytes = kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes;

// A picture in memory: rows top-down, three bytes a pixel in the order red, green, blue.
struct Image24 {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  Image24() = default;
  Image24(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}

  std::uint8_t* At(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// Bytes of one bitmap row in the file: width × 3 rounded up to a multiple of 4.
std::size_t BitmapRowStride(int width);

// The whole file for the picture, headers first (biSizeImage holds the pixel data's size).
std::vector<std::uint8_t> EncodeBitmap24(const Image24& image);

// Little-endian field access, for code that reads the headers.
std::uint16_t ReadLe16(const std::uint8_t* p);
std::uint32_t ReadLe32(const std::uint8_t* p);

}  // namespace orlinde
