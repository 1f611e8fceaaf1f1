// Reads the hand-over texture bitmap into a pixel buffer for the texture upload.
//
// Accepted: 24 bits per pixel, uncompressed, no colour table, bottom-up rows, pixel data read from byte 54
// whatever the file header says, as many bytes as the rows need (biSizeImage 0, or at least that many).
// Anything else is refused exactly as a missing file is: the pixels stay empty. The buffer is never larger
// than the rows need and always holds every byte the upload reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/TexturePixels.h"

namespace orlinde {

// Where the reader takes its bytes from (a file on Windows, memory in tests and the fuzzer).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `count` bytes into `into`; returns how many were read (0 at the end).
  virtual std::size_t Read(std::uint8_t* into, std::size_t count) = 0;
};

class MemorySource final : public ByteSource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Read(std::uint8_t* into, std::size_t count) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Largest width or height accepted: what a texture can be.
inline constexpr std::int32_t kMaxTextureSide = 8192;

// Reads headers and pixels from `source`. A file cut short inside its pixel data keeps what was read,
// unswapped, with the rest of the buffer zero.
BitmapPixels ReadBitmapFile(ByteSource& source);

// Exchanges byte 0 and byte 2 of each of `count` consecutive 3-byte groups, in place.
void SwapRedBlue(std::uint8_t* pixels, std::size_t count);

}  // namespace orlinde
