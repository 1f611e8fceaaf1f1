#include "host/forms/ControlsWin32.h"

#include <algorithm>

namespace orlinde::forms {

namespace {

// How far a combo box's list reaches below its edit field.
constexpr int kComboListHeight = 160;

// The focus cue's distance outside a label's text (pixels), across and down.
constexpr int kFocusCueMarginX = 2;
constexpr int kFocusCueMarginY = 1;

// A one-pixel frame of every other pixel in `colour`, the look of a focus rectangle. Drawn in the text's
// colour rather than inverted, so that it reads the same on any background and every repaint.
void DrawDottedFrame(HDC dc, const Rect& b, COLORREF colour) {
  if (b.width < 2 || b.height < 2) return;
  const int right = b.Right() - 1, bottom = b.Bottom() - 1;
  for (int x = b.x; x <= right; x += 2) {
    SetPixelV(dc, x, b.y, colour);
    SetPixelV(dc, x, bottom, colour);
  }
  for (int y = b.y; y <= bottom; y += 2) {
    SetPixelV(dc, b.x, y, colour);
    SetPixelV(dc, right, y, colour);
  }
}

}  // namespace

// --- PictureBox -----------------------------------------------------------------------------------

PictureBox::PictureBox(Container& container, Rect bounds, COLORREF backColor)
    : WindowedControl(container, bounds), backColor_(backColor) {}

PictureBox::~PictureBox() {
  DropImage();
}

void PictureBox::MakeImage(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  auto image = std::make_unique<MemoryDc>();
  {
    const WindowDc screen;
    if (!image->Hold(Bitmap(CreateCompatibleBitmap(screen.Get(), width, height)))) return;
  }
  const HDC dc = image->Get();
  FillWith(dc, RECT{0, 0, width, height}, backColor_);
  if (image_) {
    // A resize keeps what was drawn, from the top-left corner.
    BitBlt(dc, 0, 0, std::min(width, imageWidth_), std::min(height, imageHeight_), image_->Get(), 0, 0, SRCCOPY);
  }
  DropImage();
  image_ = std::move(image);
  imageWidth_ = width;
  imageHeight_ = height;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, foreColor_);
  image_->SelectFont(fontHandle_.Get());
}

void PictureBox::DropImage() {
  image_.reset();
  imageWidth_ = imageHeight_ = 0;
}

void PictureBox::OnCreated() {
  MakeImage(Width(), Height());
  if (!picture_.Empty()) SetPicture(picture_);
}

void PictureBox::OnDestroying() {
  DropImage();
}

void PictureBox::OnBoundsChanged(const Rect& old) {
  if (image_ && (Width() != imageWidth_ || Height() != imageHeight_)) MakeImage(Width(), Height());
  WindowedControl::OnBoundsChanged(old);
}

void PictureBox::Cls() {
  if (!image_) return;
  FillWith(image_->Get(), RECT{0, 0, imageWidth_, imageHeight_}, backColor_);
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
  if (image_) SetTextColor(image_->Get(), colour);
}

void PictureBox::SetFont(const Font& font) {
  font_ = font;
  // The new font goes into the image before the old one is deleted, which must not be selected then.
  FontObject made = MakeFont(font);
  if (image_) image_->SelectFont(made.Get());
  fontHandle_ = std::move(made);
}

void PictureBox::SetPicture(const Picture& picture) {
  picture_ = picture;
  if (!image_ || picture_.Empty()) return;
  {
    const MemoryDc source(image_->Get());
    const Selection shown(source.Get(), picture_.Handle());
    BitBlt(image_->Get(), 0, 0, picture_.Width(), picture_.Height(), source.Get(), 0, 0, SRCCOPY);
  }
  Refresh();
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the image covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(Hwnd(), &paint);
      if (image_) {
        BitBlt(dc, 0, 0, imageWidth_, imageHeight_, image_->Get(), 0, 0, SRCCOPY);
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

Label::Label(Container& container, Rect bounds, std::wstring caption)
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
  fontHandle_ = MakeFont(font);
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

Rect Label::PaintArea() const {
  if (!focusCue_) return Area();
  return {Left() - kFocusCueMarginX, Top() - kFocusCueMarginY, Width() + 2 * kFocusCueMarginX,
          Height() + 2 * kFocusCueMarginY};
}

void Label::FitToText() {
  RECT rect{0, 0, 0, 0};
  {
    const WindowDc screen;
    const Selection font(screen.Get(), fontHandle_.Get());
    DrawTextW(screen.Get(), caption_.c_str(), static_cast<int>(caption_.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  }
  const int frame = border_ ? 2 : 0;
  Move({Left(), Top(), rect.right + frame, rect.bottom + frame});
}

void Label::Paint(HDC dc) {
  RECT rect{Left(), Top(), Left() + Width(), Top() + Height()};
  if (border_) {
    const Brush frame(CreateSolidBrush(foreColor_));
    FrameRect(dc, &rect, frame.Get());
    InflateRect(&rect, -1, -1);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? foreColor_ : GetSysColor(COLOR_GRAYTEXT));
  const Selection font(dc, fontHandle_.Get());
  UINT format = DT_NOPREFIX | DT_WORDBREAK;
  if (align_ == Align::Centre) format |= DT_CENTER;
  if (align_ == Align::Right) format |= DT_RIGHT;
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rect, format);
  if (focusCue_) DrawDottedFrame(dc, PaintArea(), foreColor_);
}

// --- Image ----------------------------------------------------------------------------------------

Image::Image(Container& container, Rect bounds, Picture picture, bool stretch)
    : GraphicControl(container, bounds), picture_(std::move(picture)), stretch_(stretch) {}

void Image::SetPicture(const Picture& picture) {
  picture_ = picture;
  Refresh();
}

void Image::Paint(HDC dc) {
  if (picture_.Empty()) return;
  const MemoryDc source(dc);
  const Selection shown(source.Get(), picture_.Handle());
  if (stretch_) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, Left(), Top(), Width(), Height(), source.Get(), 0, 0, picture_.Width(), picture_.Height(), SRCCOPY);
  } else {
    BitBlt(dc, Left(), Top(), std::min(Width(), picture_.Width()), std::min(Height(), picture_.Height()), source.Get(),
           0, 0, SRCCOPY);
  }
}

// --- Shape ----------------------------------------------------------------------------------------

Shape::Shape(Container& container, Rect bounds, COLORREF borderColor)
    : GraphicControl(container, bounds), borderColor_(borderColor) {}

void Shape::Paint(HDC dc) {
  const RECT rect{Left(), Top(), Left() + Width(), Top() + Height()};
  const Brush brush(CreateSolidBrush(borderColor_));
  FrameRect(dc, &rect, brush.Get());
}

// --- ComboBox -------------------------------------------------------------------------------------

ComboBox::ComboBox(Container& container, Rect bounds) : WindowedControl(container, bounds) {}

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
  // The box is given the new font before the old one goes.
  FontObject made = MakeFont(font);
  if (Hwnd() != nullptr) SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(made.Get()), TRUE);
  fontHandle_ = std::move(made);
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

void ComboBox::OnBoundsChanged(const Rect&) {
  PlaceWindow();
}

void ComboBox::PlaceWindow() {
  if (Hwnd() == nullptr) return;
  // The window's height includes the dropped-down list; the edit field keeps the control's height.
  const Rect& b = Area();
  SetWindowPos(Hwnd(), nullptr, b.x, b.y, b.width, b.height + kComboListHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(Hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(b.height - 6, 1));
}

}  // namespace orlinde::forms
