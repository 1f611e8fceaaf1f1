#include "host/button/CommandWin32.h"

#include <utility>

#include "assets/HostResources.h"
#include "common/CodePageWin32.h"
#include "host/button/FontWin32.h"
#include "host/button/PixelBufferWin32.h"
#include "host/forms/AppWin32.h"

namespace orlinde::button {

namespace {

constexpr UINT_PTR kTmrMouse = 1;

MouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
      return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
      return MouseButton::Middle;
    default:
      return MouseButton::Left;
  }
}

}  // namespace

std::shared_ptr<const ButtonImages> SharedButtonImages() {
  static const std::shared_ptr<const ButtonImages> images = [] {
    auto loaded = std::make_shared<ButtonImages>();
    (*loaded)[ButtonImage::Normal] = PixelsFromBitmapResource(IDB_BUTTON_NORMAL);
    (*loaded)[ButtonImage::HighLight] = PixelsFromBitmapResource(IDB_BUTTON_HIGHLIGHT);
    (*loaded)[ButtonImage::Pressed] = PixelsFromBitmapResource(IDB_BUTTON_PRESSED);
    (*loaded)[ButtonImage::Disable] = PixelsFromBitmapResource(IDB_BUTTON_DISABLE);
    (*loaded)[ButtonImage::Selected] = PixelsFromBitmapResource(IDB_BUTTON_SELECTED);
    (*loaded)[ButtonImage::HighLightSelect] = PixelsFromBitmapResource(IDB_BUTTON_HIGHLIGHTSELECT);
    return std::shared_ptr<const ButtonImages>(std::move(loaded));
  }();
  return images;
}

CommandControl::CommandControl(forms::Container& container, Rect bounds, std::optional<MemoryPropertyBag> stored,
                               FontDesc ambientFont)
    : forms::WindowedControl(container, bounds),
      model_(host_, SharedButtonImages()),
      stored_(stored.value_or(MemoryPropertyBag{})),
      hasStored_(stored.has_value()),
      ambientFont_(std::move(ambientFont)) {}

bool CommandControl::Enabled() {
  const bool enabled = model_.Enabled();
  MirrorEnabled();  // the first read may have applied the first-run defaults
  return enabled;
}

void CommandControl::PerformClick() {
  if (model_.EnabledField() && Click) Click();  // may unload the form: nothing after this
}

// ---- what the model asks of the window -------------------------------------------------------------------

void CommandControl::Host::PropertyChanged(std::string_view name) {
  if (name == key::kEnabled) control_.MirrorEnabled();
  if (name == key::kCaption && control_.Hwnd() != nullptr) {
    SetWindowTextW(control_.Hwnd(), FromUtf8(control_.model_.Caption()).c_str());
  }
}

void CommandControl::Host::Click() {
  if (control_.Click) control_.Click();
}

void CommandControl::Host::StartMouseTimer(unsigned intervalMs) {
  if (control_.Hwnd() == nullptr) {
    control_.pendingTimerMs_ = intervalMs;  // started when the window exists
    return;
  }
  SetTimer(control_.Hwnd(), kTmrMouse, intervalMs, nullptr);
}

void CommandControl::Host::Refresh() {
  if (control_.Hwnd() == nullptr) return;
  control_.MatchFont();
  InvalidateRect(control_.Hwnd(), nullptr, FALSE);
}

// ---- messages ----------------------------------------------------------------------------------------------

LRESULT CommandControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      WindowCreated();
      return 0;
    case WM_SIZE:
      model_.Resized(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETFOCUS:
      model_.FocusGained();
      return 0;
    case WM_KILLFOCUS:
      model_.FocusLost();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      ButtonDown(ButtonOf(message));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      ButtonUp(ButtonOf(message), wParam);  // may have unloaded the form: nothing after this
      return 0;
    case WM_MOUSEMOVE: {
      // While a button is held the capture reports moves outside the control too; those are not moves
      // over the control.
      RECT client{};
      GetClientRect(Hwnd(), &client);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (PtInRect(&client, at)) model_.MouseMove();
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTmrMouse) {
        POINT cursor{};
        GetCursorPos(&cursor);
        model_.TimerTick(WindowFromPoint(cursor) == Hwnd());
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DESTROY:
      KillTimer(Hwnd(), kTmrMouse);
      break;
    default:
      break;
  }
  return forms::WindowedControl::HandleMessage(message, wParam, lParam);
}

void CommandControl::WindowCreated() {
  // Creation, then restore; the first WM_SIZE (sent after WM_CREATE) does the first ApplyEnabled.
  if (hasStored_) model_.ReadProperties(stored_, ambientFont_);
  MatchFont();
  SetWindowTextW(Hwnd(), FromUtf8(model_.Caption()).c_str());
  MirrorEnabled();
  if (pendingTimerMs_ != 0) SetTimer(Hwnd(), kTmrMouse, pendingTimerMs_, nullptr);
}

void CommandControl::MatchFont() {
  if (font_ && model_.Font() == fontMadeFrom_) return;
  fontMadeFrom_ = model_.Font();
  font_ = CreateFontFrom(fontMadeFrom_, forms::app::Scale().dpiY);
  // The caption element is one line of its font high.
  const forms::WindowDc dc(Hwnd());
  if (dc.Get() == nullptr) return;
  const forms::Selection font(dc.Get(), font_.Get());
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc.Get(), &metrics)) model_.SetCaptionHeight(metrics.tmHeight);
}

void CommandControl::MirrorEnabled() {
  if (Hwnd() == nullptr) return;
  const BOOL wanted = model_.EnabledField() ? TRUE : FALSE;
  if ((IsWindowEnabled(Hwnd()) != FALSE) != (wanted != FALSE)) EnableWindow(Hwnd(), wanted);
}

void CommandControl::ButtonDown(MouseButton button) {
  // A click takes the focus, as a push button's does; a disabled control takes nothing.
  if (button == MouseButton::Left && model_.EnabledField() && GetFocus() != Hwnd()) SetFocus(Hwnd());
  SetCapture(Hwnd());
  model_.MouseDown(button);
}

void CommandControl::ButtonUp(MouseButton button, WPARAM heldKeys) {
  if ((heldKeys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == Hwnd()) ReleaseCapture();
  model_.MouseUp(button);
}

void CommandControl::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(), &paint);
  RECT client{};
  GetClientRect(Hwnd(), &client);
  const int width = client.right, height = client.bottom;
  {
    forms::MemoryDc canvas(dc);
    if (canvas.Hold(forms::Bitmap(CreateCompatibleBitmap(dc, width > 0 ? width : 1, height > 0 ? height : 1)))) {
      DrawFace(canvas.Get(), client);
      BitBlt(dc, 0, 0, width, height, canvas.Get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(Hwnd(), &paint);
}

void CommandControl::DrawFace(HDC dc, const RECT& client) {
  if (model_.FaceOpaque()) {
    BlitPixels(dc, 0, 0, model_.Face());
  } else {
    // A transparent face shows the container's background; only the caption is drawn.
    forms::FillWith(dc, client, Holder().ContainerBackColor());
  }

  const std::wstring caption = FromUtf8(model_.Caption());
  const Rect area = model_.CaptionArea();
  const forms::Selection font(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  const SystemColours system{GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW)};
  for (const TextPass& pass : model_.CaptionPasses(system)) {
    RECT place{area.x + pass.dx, area.y + pass.dy, area.Right() + pass.dx, area.Bottom() + pass.dy};
    SetTextColor(dc, pass.colour);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &place,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  }
}

}  // namespace orlinde::button
