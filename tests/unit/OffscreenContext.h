// An OpenGL context through OSMesa that draws into a buffer of its own, for the tests of GL drawing code.
// It is made current when created; the pixels are RGBA bytes, rows from the bottom up.
#pragma once

#include <GL/osmesa.h>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orlinde {

class OffscreenContext {
 public:
  OffscreenContext(int width, int height)
      : context_(OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr)),
        width_(width),
        height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0) {
    MakeCurrent();
  }
  ~OffscreenContext() {
    if (context_ != nullptr) OSMesaDestroyContext(context_);
  }
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  // Whether the context was made and is current on this thread.
  bool Current() const { return current_; }
  // Makes this context current again after another one was; false when it could not be.
  bool MakeCurrent() {
    current_ = context_ != nullptr &&
               OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width_, height_) == GL_TRUE;
    return current_;
  }
  // What the context draws into; a test may overwrite the bytes, never change their number.
  std::vector<std::uint8_t>& Pixels() { return pixels_; }

 private:
  OSMesaContext context_;
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
  bool current_ = false;
};

}  // namespace orlinde
