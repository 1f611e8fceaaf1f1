#include "host/button/PixelBufferWin32.h"

#include <cstring>

namespace orlinde {

using forms::TopDown32;

PixelBuffer PixelsFromBitmapResource(int resourceId) {
  const forms::Bitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return {};
  BITMAP shape{};
  if (GetObjectW(bitmap.Get(), sizeof shape, &shape) == 0 || shape.bmWidth <= 0 || shape.bmHeight == 0) return {};
  const int width = shape.bmWidth;
  const int height = shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight;
  PixelBuffer read(width, height);
  BITMAPINFO info = TopDown32(width, height);
  const forms::WindowDc screen;
  const int rows =
      GetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(height), read.Data(), &info, DIB_RGB_COLORS);
  if (rows != height) return {};
  // GDI leaves the unused top byte as it finds it; composed pixels keep it 0.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) read.At(x, y) &= 0x00FFFFFFu;
  }
  return read;
}

PixelBuffer PixelsOf(const forms::DibSurface& surface) {
  const std::uint32_t* bits = surface.Bits();
  if (bits == nullptr) return {};
  PixelBuffer out(surface.Width(), surface.Height());
  std::memcpy(out.Data(), bits,
              static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()) * 4u);
  for (int y = 0; y < out.Height(); ++y) {
    for (int x = 0; x < out.Width(); ++x) out.At(x, y) &= 0x00FFFFFFu;
  }
  return out;
}

void BlitPixels(HDC dc, int x, int y, const PixelBuffer& pixels) {
  if (dc == nullptr || pixels.Empty()) return;
  const BITMAPINFO info = TopDown32(pixels.Width(), pixels.Height());
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(pixels.Width()), static_cast<DWORD>(pixels.Height()), 0, 0, 0,
                    static_cast<UINT>(pixels.Height()), pixels.Data(), &info, DIB_RGB_COLORS);
}

}  // namespace orlinde
