// GDI for the host's windows: owned GDI objects and device contexts, the one place fonts are made,
// pictures and fonts as values, and a top-down 32-bit DIB section to draw into.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace orlinde::forms {

// An owned GDI object (a brush, a font, a bitmap), deleted with its owner. Select it into a device context
// only through a Selection that ends before the owner does.
template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  // Takes ownership of `handle` (null: owns nothing).
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Brush = GdiObject<HBRUSH>;
using FontObject = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;

// `object` selected into `dc` for the selection's life; what was selected before comes back at its end.
// A null device context or object selects nothing.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context (the screen's for a null window) for the object's life: GetDC, ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with `like` (the screen's for null), with the bitmap it draws into:
// Hold selects a bitmap of its own for the context's life, SelectFont a font that its owner keeps alive
// while it is selected. The original bitmap and font are selected back before the context and then the
// held bitmap are deleted.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_ == nullptr) return;
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    if (oldFont_ != nullptr) SelectObject(dc_, oldFont_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC Get() const { return dc_; }
  // Takes `bitmap` and selects it; false (and nothing selected) when either the context or the bitmap is
  // missing.
  bool Hold(Bitmap bitmap);
  // Selects `font` (nothing for null) until the next SelectFont or the context's end.
  void SelectFont(HFONT font);

 private:
  HDC dc_;
  Bitmap held_;
  HGDIOBJ oldBitmap_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

// Fills `rect` with one colour.
void FillWith(HDC dc, const RECT& rect, COLORREF colour);

// Everything a font is made from; the height is the character height (the em size) in pixels.
struct FontSpec {
  std::wstring face;
  int pixelHeight = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  BYTE charset = DEFAULT_CHARSET;
  BYTE quality = DEFAULT_QUALITY;
};

// The one maker of the host's fonts.
FontObject MakeFont(const FontSpec& spec);

// A bitmap shared by the controls that show it; the handle is deleted with the last copy.
class Picture {
 public:
  Picture() = default;
  // Takes ownership of `bitmap`.
  explicit Picture(HBITMAP bitmap);

  // A BITMAP resource of this program; empty when it is missing.
  static Picture FromResource(int resourceId);

  HBITMAP Handle() const { return static_cast<HBITMAP>(handle_.get()); }
  bool Empty() const { return handle_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  std::shared_ptr<void> handle_;
  int width_ = 0;
  int height_ = 0;
};

// A font as the controls are given it: face, size in points, weight, character set.
struct Font {
  std::wstring face = L"MS Shell Dlg";
  double points = 9.0;
  bool bold = false;
  BYTE charset = DEFAULT_CHARSET;
};

// A GDI font made from a Font for the screen's dots per inch.
FontObject MakeFont(const Font& font);

// A 32-bit top-down DIB section of a given size, filled with one colour and selected into its own memory
// DC, for GDI to draw into; Bits() reads what GDI drew (0x00RRGGBB a pixel, the top byte as GDI left it).
class DibSurface {
 public:
  DibSurface(int width, int height, COLORREF fill);
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC Dc() const { return dc_.Get(); }
  bool Valid() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixels, rows top first, once GDI has finished drawing; null when the surface is not valid.
  const std::uint32_t* Bits() const;

 private:
  int width_;
  int height_;
  MemoryDc dc_;
  void* bits_ = nullptr;
};

// The header of a top-down 32-bit DIB of the given size.
BITMAPINFO TopDown32(int width, int height);

}  // namespace orlinde::forms
