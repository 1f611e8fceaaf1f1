#include "common/BitmapReader.h"

#include <algorithm>
#include <cstring>

#include "common/BitmapFile.h"

namespace orlinde {

std::size_t MemorySource::Read(std::uint8_t* into, std::size_t count) {
  const std::size_t n = std::min(count, size_ - position_);
  if (n > 0) std::memcpy(into, data_ + position_, n);
  position_ += n;
  return n;
}

void SwapRedBlue(std::uint8_t* pixels, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) std::swap(pixels[3 * k], pixels[3 * k + 2]);
}

namespace {

// Reads until `count` bytes arrived or the source ends.
std::size_t ReadFully(ByteSource& source, std::uint8_t* into, std::size_t count) {
  std::size_t total = 0;
  while (total < count) {
    const std::size_t got = source.Read(into + total, count - total);
    if (got == 0) break;
    total += got;
  }
  return total;
}

}  // namespace

BitmapPixels ReadBitmapFile(ByteSource& source) {
  BitmapPixels result;
  std::uint8_t header[orlinde::kBitmapHeaderBytes];
  if (ReadFully(source, header, sizeof header) != sizeof header) return result;

  const std::uint8_t* info = header + orlinde::kBitmapFileHeaderBytes;
  const auto width = static_cast<std::int32_t>(orlinde::ReadLe32(info + 4));
  const auto height = static_cast<std::int32_t>(orlinde::ReadLe32(info + 8));
  const std::uint16_t bitCount = orlinde::ReadLe16(info + 14);
  const std::uint32_t compression = orlinde::ReadLe32(info + 16);
  const std::uint32_t sizeImage = orlinde::ReadLe32(info + 20);
  const std::uint32_t colorsUsed = orlinde::ReadLe32(info + 32);

  if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide) return result;
  if (bitCount != 24 || compression != 0 || colorsUsed != 0) return result;

  // Rows narrower than a multiple of 4 bytes carry padding in the file and in the buffer alike, which is
  // what the upload expects with its default unpack alignment of 4; the colour swap then goes row by row.
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const std::size_t stride = orlinde::BitmapRowStride(width);
  // A biSizeImage larger than the rows need (a writer that rounds the size up, or leaves bytes after the
  // rows) is accepted and only the rows are read; a smaller one cannot hold the rows and is refused.
  const std::size_t imageBytes = stride * static_cast<std::size_t>(height);
  if (sizeImage != 0 && sizeImage < imageBytes) return result;

  result.width = width;
  result.height = height;
  result.pixels.assign(imageBytes, 0);
  if (ReadFully(source, result.pixels.data(), imageBytes) != imageBytes) return result;  // used unswapped

  if (stride == rowBytes) {
    SwapRedBlue(result.pixels.data(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  } else {
    for (std::int32_t row = 0; row < height; ++row) {
      SwapRedBlue(result.pixels.data() + static_cast<std::size_t>(row) * stride, static_cast<std::size_t>(width));
    }
  }
  return result;
}

}  // namespace orlinde
