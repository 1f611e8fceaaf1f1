// The pixels a view's texture is made from, as the bitmap reader (common/BitmapReader.h) gives them.
#pragma once

#include <cstdint>
#include <vector>

namespace orlinde {

struct BitmapPixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  // Red-green-blue after the swap, rows bottom-up, each row padded to 4 bytes as the upload's default
  // unpack alignment expects. Empty means "not read".
  std::vector<std::uint8_t> pixels;
};

}  // namespace orlinde
