// Feeds arbitrary bytes to the bitmap reader: it must never crash, over-read, or hand out a buffer
// that the texture upload would read past.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/BitmapFile.h"
#include "common/BitmapReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orlinde::MemorySource source(data, size);
  const orlinde::BitmapPixels bitmap = orlinde::ReadBitmapFile(source);
  if (!bitmap.pixels.empty()) {
    // What the upload reads with an unpack alignment of 4: stride × height bytes.
    const std::size_t needed = orlinde::BitmapRowStride(bitmap.width) * static_cast<std::size_t>(bitmap.height);
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.size() < needed) std::abort();
    volatile std::uint8_t sink = bitmap.pixels[needed - 1];
    (void)sink;
  }
  return 0;
}
