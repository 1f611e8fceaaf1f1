// Pixel buffers on Windows: reading a bitmap resource or a DIB surface into a buffer, and putting a buffer
// on a device context with one blit. A buffer's pixels are already in the layout of a top-down 32-bit DIB.
#pragma once

#include <windows.h>

#include "host/button/PixelBuffer.h"
#include "host/forms/GdiWin32.h"

namespace orlinde {

// A BITMAP resource of this program as pixels; an empty buffer when it is missing or unreadable.
PixelBuffer PixelsFromBitmapResource(int resourceId);

// What GDI drew into a surface (text layers), as pixels with the top byte 0; empty for an invalid surface.
PixelBuffer PixelsOf(const forms::DibSurface& surface);

// Copies the whole buffer to `dc` at (x, y) with one SetDIBitsToDevice.
void BlitPixels(HDC dc, int x, int y, const PixelBuffer& pixels);

}  // namespace orlinde
