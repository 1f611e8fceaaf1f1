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

FontHandle::FontHandle(const Font& font) {
  Reset(font);
}

FontHandle::~FontHandle() {
  if (font_ != nullptr) DeleteObject(font_);
}

void FontHandle::Reset(const Font& font) {
  if (font_ != nullptr) DeleteObject(font_);
  // A negative height asks for the character height (the em size) in pixels.
  const int height = -static_cast<int>(std::lround(font.points * app::Scale().dpiY / 72.0));
  font_ = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, font.charset,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                      font.face.c_str());
}

}  // namespace orlinde::forms
