// Pixel buffers on Windows: reading a bitmap resource or a DIB section into a buffer, and putting a buffer
// on a device context with one blit. A buffer's pixels are already in the layout of a top-down 32-bit DIB.
#pragma once

#include <windows.h>

#include "host/button/PixelBuffer.h"

namespace orlinde {

// A BITMAP resource of this program as pixels; an empty buffer when it is missing or unreadable.
PixelBuffer PixelsFromBitmapResource(int resourceId);

// A 32-bit top-down DIB section of a given size, selected into its own memory DC, for GDI to draw into
// (text layers); Pixels() copies out what GDI drew.
class DibSurface {
 public:
  DibSurface(int width, int height, COLORREF fill);
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC Dc() const { return dc_; }
  bool Valid() const { return bits_ != nullptr; }
  PixelBuffer Pixels() const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  void* bits_ = nullptr;
};

// Copies the whole buffer to `dc` at (x, y) with one SetDIBitsToDevice.
void BlitPixels(HDC dc, int x, int y, const PixelBuffer& pixels);

}  // namespace orlinde
