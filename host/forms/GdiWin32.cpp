#include "host/forms/GdiWin32.h"

#include <cmath>

#include "host/forms/AppWin32.h"

namespace orlinde::forms {

Picture::Picture(HBITMAP bitmap) {
  if (bitmap == nullptr) return;
  handle_ = std::shared_ptr<void>(bitmap, [](void* h) { DeleteObject(static_cast<HGDIOBJ>(h)); });
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) != 0) {
    width_ = info.bmWidth;
    height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  }
}

Picture Picture::FromResource(int resourceId) {
  HANDLE image =
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  return Picture(static_cast<HBITMAP>(image));
}

bool MemoryDc::Hold(Bitmap bitmap) {
  if (dc_ == nullptr || !bitmap) return false;
  const HGDIOBJ old = SelectObject(dc_, bitmap.Get());
  if (oldBitmap_ == nullptr) oldBitmap_ = old;
  held_ = std::move(bitmap);
  return true;
}

void MemoryDc::SelectFont(HFONT font) {
  if (dc_ == nullptr || font == nullptr) return;
  const HGDIOBJ old = SelectObject(dc_, font);
  if (oldFont_ == nullptr) oldFont_ = old;
}

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
  const Brush brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &rect, brush.Get());
}

FontObject MakeFont(const FontSpec& spec) {
  // A negative height asks for the character height (the em size) rather than the cell height.
  return FontObject(CreateFontW(-spec.pixelHeight, 0, 0, 0, spec.weight, spec.italic, spec.underline, spec.strikeout,
                                spec.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, spec.quality,
                                DEFAULT_PITCH | FF_DONTCARE, spec.face.c_str()));
}

FontObject MakeFont(const Font& font) {
  FontSpec spec;
  spec.face = font.face;
  spec.pixelHeight = static_cast<int>(std::lround(font.points * app::Scale().dpiY / 72.0));
  spec.weight = font.bold ? FW_BOLD : FW_NORMAL;
  spec.charset = font.charset;
  return MakeFont(spec);
}

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

DibSurface::DibSurface(int width, int height, COLORREF fill) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  const BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  Bitmap bitmap;
  {
    const WindowDc screen;
    bitmap.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  }
  if (!dc_.Hold(std::move(bitmap))) return;
  bits_ = bits;
  FillWith(dc_.Get(), RECT{0, 0, width, height}, fill);
}

const std::uint32_t* DibSurface::Bits() const {
  if (bits_ == nullptr) return nullptr;
  GdiFlush();  // GDI may still be drawing into the section
  return static_cast<const std::uint32_t*>(bits_);
}

}  // namespace orlinde::forms
