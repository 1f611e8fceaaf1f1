#include "host/forms/ControlsWin32.h"

#include <algorithm>

namespace orlinde::forms {

namespace {

// How far a combo box's list reaches below its edit field.
constexpr int kComboListHeight = 160;

// The focus cue's distance outside a label's text (pixels), across and down.
constexpr int kFocusCueMarginX = 2;
constexpr int kFocusCueMarginY = 1;

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// A one-pixel frame of every other pixel in `colour`, the look of a focus rectangle. Drawn in the text's
// colour rather than inverted, so that it reads the same on any background and every repaint.
void DrawDottedFrame(HDC dc, const Bounds& b, COLORREF colour) {
  if (b.width < 2 || b.height < 2) return;
  const int right = b.left + b.width - 1, bottom = b.top + b.height - 1;
  for (int x = b.left; x <= right; x += 2) {
    SetPixelV(dc, x, b.top, colour);
    SetPixelV(dc, x, bottom, colour);
  }
  for (int y = b.top; y <= bottom; y += 2) {
    SetPixelV(dc, b.left, y, colour);
    SetPixelV(dc, right, y, colour);
  }
}

}  // namespace

// --- PictureBox -----------------------------------------------------------------------------------

PictureBox::PictureBox(Container& container, Bounds bounds, COLORREF backColor)
    : WindowedControl(container, bounds), backColor_(backColor) {}

PictureBox::~PictureBox() {
  DropImage();
}

void PictureBox::MakeImage(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP image = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (dc == nullptr || image == nullptr) {
    if (dc != nullptr) DeleteDC(dc);
    if (image != nullptr) DeleteObject(image);
    return;
  }
  HGDIOBJ old = SelectObject(dc, image);
  const RECT all{0, 0, width, height};
  FillWith(dc, all, backColor_);
  if (memoryDc_ != nullptr) {
    // A resize keeps what was drawn, from the top-left corner.
    BitBlt(dc, 0, 0, std::min(width, imageWidth_), std::min(height, imageHeight_), memoryDc_, 0, 0, SRCCOPY);
  }
  DropImage();
  memoryDc_ = dc;
  image_ = image;
  oldBitmap_ = old;
  imageWidth_ = width;
  imageHeight_ = height;
  SetBkMode(memoryDc_, TRANSPARENT);
  SetTextColor(memoryDc_, foreColor_);
  if (fontHandle_.Get() != nullptr) SelectObject(memoryDc_, fontHandle_.Get());
}

void PictureBox::DropImage() {
  if (memoryDc_ == nullptr) return;
  SelectObject(memoryDc_, oldBitmap_);
  DeleteDC(memoryDc_);
  DeleteObject(image_);
  memoryDc_ = nullptr;
  image_ = nullptr;
  oldBitmap_ = nullptr;
  imageWidth_ = imageHeight_ = 0;
}

void PictureBox::OnCreated() {
  MakeImage(Width(), Height());
  if (!picture_.Empty()) SetPicture(picture_);
}

void PictureBox::OnDestroying() {
  DropImage();
}

void PictureBox::OnBoundsChanged(const Bounds& old) {
  if (memoryDc_ != nullptr && (Width() != imageWidth_ || Height() != imageHeight_)) MakeImage(Width(), Height());
  WindowedControl::OnBoundsChanged(old);
}

void PictureBox::Cls() {
  if (memoryDc_ == nullptr) return;
  const RECT all{0, 0, imageWidth_, imageHeight_};
  FillWith(memoryDc_, all, backColor_);
  Refresh();
}

void PictureBox::Refresh() {
  if (Hwnd() == nullptr) return;
  InvalidateRect(Hwnd(), nullptr, FALSE);
  UpdateWindow(Hwnd());
}

void PictureBox::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  Cls();
}

void PictureBox::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  if (memoryDc_ != nullptr) SetTextColor(memoryDc_, colour);
}

void PictureBox::SetFont(const Font& font) {
  font_ = font;
  fontHandle_.Reset(font);
  if (memoryDc_ != nullptr && fontHandle_.Get() != nullptr) SelectObject(memoryDc_, fontHandle_.Get());
}

void PictureBox::SetPicture(const Picture& picture) {
  picture_ = picture;
  if (memoryDc_ == nullptr || picture_.Empty()) return;
  HDC source = CreateCompatibleDC(memoryDc_);
  HGDIOBJ old = SelectObject(source, picture_.Handle());
  BitBlt(memoryDc_, 0, 0, picture_.Width(), picture_.Height(), source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  Refresh();
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the image covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(Hwnd(), &paint);
      if (memoryDc_ != nullptr) {
        BitBlt(dc, 0, 0, imageWidth_, imageHeight_, memoryDc_, 0, 0, SRCCOPY);
      } else {
        FillWith(dc, paint.rcPaint, backColor_);
      }
      PaintGraphics(dc, paint.rcPaint);
      EndPaint(Hwnd(), &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
      if (RouteMouse(message, wParam, lParam)) return 0;
      break;
    default:
      break;
  }
  return WindowedControl::HandleMessage(message, wParam, lParam);
}

// --- Label ----------------------------------------------------------------------------------------

Label::Label(Container& container, Bounds bounds, std::wstring caption)
    : GraphicControl(container, bounds), caption_(std::move(caption)) {}

void Label::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (autoSize_) FitToText();
  Refresh();
}

void Label::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  Refresh();
}

void Label::SetFont(const Font& font) {
  font_ = font;
  fontHandle_.Reset(font);
  if (autoSize_) FitToText();
  Refresh();
}

void Label::SetAlignment(Align align) {
  align_ = align;
  Refresh();
}

void Label::SetBorder(bool border) {
  border_ = border;
  Refresh();
}

void Label::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) FitToText();
}

void Label::SetFocusCue(bool shown) {
  if (focusCue_ == shown) return;
  if (!shown) Refresh();  // the area with the cue, before it shrinks
  focusCue_ = shown;
  Refresh();
}

Bounds Label::PaintArea() const {
  if (!focusCue_) return Area();
  return {Left() - kFocusCueMarginX, Top() - kFocusCueMarginY, Width() + 2 * kFocusCueMarginX,
          Height() + 2 * kFocusCueMarginY};
}

void Label::FitToText() {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = fontHandle_.Get() != nullptr ? SelectObject(screen, fontHandle_.Get()) : nullptr;
  RECT rect{0, 0, 0, 0};
  DrawTextW(screen, caption_.c_str(), static_cast<int>(caption_.size()), &rect,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (old != nullptr) SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  const int frame = border_ ? 2 : 0;
  Move({Left(), Top(), rect.right + frame, rect.bottom + frame});
}

void Label::Paint(HDC dc) {
  RECT rect{Left(), Top(), Left() + Width(), Top() + Height()};
  if (border_) {
    HBRUSH frame = CreateSolidBrush(foreColor_);
    FrameRect(dc, &rect, frame);
    DeleteObject(frame);
    InflateRect(&rect, -1, -1);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? foreColor_ : GetSysColor(COLOR_GRAYTEXT));
  if (fontHandle_.Get() != nullptr) SelectObject(dc, fontHandle_.Get());
  UINT format = DT_NOPREFIX | DT_WORDBREAK;
  if (align_ == Align::Centre) format |= DT_CENTER;
  if (align_ == Align::Right) format |= DT_RIGHT;
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rect, format);
  if (focusCue_) DrawDottedFrame(dc, PaintArea(), foreColor_);
}

// --- Image ----------------------------------------------------------------------------------------

Image::Image(Container& container, Bounds bounds, Picture picture, bool stretch)
    : GraphicControl(container, bounds), picture_(std::move(picture)), stretch_(stretch) {}

void Image::SetPicture(const Picture& picture) {
  picture_ = picture;
  Refresh();
}

void Image::Paint(HDC dc) {
  if (picture_.Empty()) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture_.Handle());
  if (stretch_) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, Left(), Top(), Width(), Height(), source, 0, 0, picture_.Width(), picture_.Height(), SRCCOPY);
  } else {
    BitBlt(dc, Left(), Top(), std::min(Width(), picture_.Width()), std::min(Height(), picture_.Height()), source, 0, 0,
           SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

// --- Shape ----------------------------------------------------------------------------------------

Shape::Shape(Container& container, Bounds bounds, COLORREF borderColor)
    : GraphicControl(container, bounds), borderColor_(borderColor) {}

void Shape::Paint(HDC dc) {
  const RECT rect{Left(), Top(), Left() + Width(), Top() + Height()};
  HBRUSH brush = CreateSolidBrush(borderColor_);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

// --- ComboBox -------------------------------------------------------------------------------------

ComboBox::ComboBox(Container& container, Bounds bounds) : WindowedControl(container, bounds) {}

std::wstring ComboBox::Text() const {
  if (Hwnd() == nullptr) return text_;
  const int length = GetWindowTextLengthW(Hwnd());
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(Hwnd(), text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void ComboBox::SetText(std::wstring text) {
  text_ = std::move(text);
  if (Hwnd() != nullptr) SetWindowTextW(Hwnd(), text_.c_str());
}

void ComboBox::AddItem(std::wstring item) {
  items_.push_back(std::move(item));
  if (Hwnd() != nullptr) SendMessageW(Hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.back().c_str()));
}

void ComboBox::SetFont(const Font& font) {
  font_ = font;
  fontHandle_.Reset(font);
  if (Hwnd() != nullptr) SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_.Get()), TRUE);
}

void ComboBox::OnCreated() {
  if (fontHandle_.Get() != nullptr) {
    SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_.Get()), FALSE);
  }
  for (const std::wstring& item : items_) {
    SendMessageW(Hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SetWindowTextW(Hwnd(), text_.c_str());
  PlaceWindow();
}

void ComboBox::OnDestroying() {
  text_ = Text();
}

void ComboBox::OnBoundsChanged(const Bounds&) {
  PlaceWindow();
}

void ComboBox::PlaceWindow() {
  if (Hwnd() == nullptr) return;
  // The window's height includes the dropped-down list; the edit field keeps the control's height.
  const Bounds& b = Area();
  SetWindowPos(Hwnd(), nullptr, b.left, b.top, b.width, b.height + kComboListHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(Hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(b.height - 6, 1));
}

}  // namespace orlinde::forms
