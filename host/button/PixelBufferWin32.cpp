#include "host/button/PixelBufferWin32.h"

#include <cstring>

namespace orlinde {

namespace {

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

PixelBuffer PixelsFromBitmapResource(int resourceId) {
  const HANDLE image =
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (image == nullptr) return {};
  const HBITMAP bitmap = static_cast<HBITMAP>(image);
  PixelBuffer pixels;
  BITMAP shape{};
  if (GetObjectW(bitmap, sizeof shape, &shape) != 0 && shape.bmWidth > 0 && shape.bmHeight != 0) {
    const int width = shape.bmWidth;
    const int height = shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight;
    PixelBuffer read(width, height);
    BITMAPINFO info = TopDown32(width, height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), read.Data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows == height) {
      // GDI leaves the unused top byte as it finds it; composed pixels keep it 0.
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) read.At(x, y) &= 0x00FFFFFFu;
      }
      pixels = std::move(read);
    }
  }
  DeleteObject(bitmap);
  return pixels;
}

DibSurface::DibSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = TopDown32(width, height);
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (dc_ == nullptr || bitmap_ == nullptr) {
    bits_ = nullptr;
    return;
  }
  oldBitmap_ = SelectObject(dc_, bitmap_);
  const RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

DibSurface::~DibSurface() {
  if (dc_ != nullptr) {
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

PixelBuffer DibSurface::Pixels() const {
  if (bits_ == nullptr) return {};
  GdiFlush();  // GDI may still be drawing into the section
  PixelBuffer out(width_, height_);
  std::memcpy(out.Data(), bits_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4u);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) out.At(x, y) &= 0x00FFFFFFu;
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
