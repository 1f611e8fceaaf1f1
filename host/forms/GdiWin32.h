// Pictures and fonts as values: a shared bitmap handle and a font description that makes its own handle.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace orlinde::forms {

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

// A GDI font made from a Font for the screen's dots per inch; deleted with the object.
class FontHandle {
 public:
  FontHandle() = default;
  explicit FontHandle(const Font& font);
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  ~FontHandle();
  void Reset(const Font& font);
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

}  // namespace orlinde::forms
