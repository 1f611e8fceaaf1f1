#include "host/forms/FormWin32.h"

#include <algorithm>

#include "host/forms/AppWin32.h"
#include "host/forms/GdiWin32.h"
#include "host/forms/SystemNamesWin32.h"
#include "host/forms/TimerWin32.h"

namespace orlinde::forms {

namespace {

constexpr wchar_t kFormClass[] = L"OrlindeForm";

bool RegisterFormClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, WideName(IDC_ARROW));
  windowClass.lpszClassName = kFormClass;
  registered = RegisterClassExW(&windowClass) != 0;
  return registered;
}

}  // namespace

Form::Form(std::wstring caption) : caption_(std::move(caption)) {}

Form::~Form() {
  // A form destroyed while loaded goes without its events.
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (loaded_) app::FormUnloaded(*this);
}

bool Form::Load() {
  if (loaded_) return true;
  if (!RegisterFormClass(Procedure)) return false;

  RECT outer{0, 0, InitialClientSize().cx, InitialClientSize().cy};
  AdjustWindowRectEx(&outer, Style(), FALSE, ExStyle());
  windowGone_ = false;
  const HWND made =
      CreateWindowExW(ExStyle(), kFormClass, caption_.c_str(), Style() & ~WS_VISIBLE, 0, 0, outer.right - outer.left,
                      outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  window_ = made;
  if (made == nullptr) return false;
  loaded_ = true;
  app::FormLoaded(*this);

  for (Control* control : controls_) control->CreateWindowNow();
  for (Timer* timer : timers_) timer->Arm();
  OnLoad();
  return loaded_;
}

void Form::Show(ShowMode mode) {
  if (!Load()) return;
  ShowWindow(window_, SW_SHOW);
  if (mode != ShowMode::Modal) return;
  // The modal loop: this form's events (and those of any other form) run here until it unloads.
  MSG message;
  while (loaded_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // leave the quit for the outer loop
      return;
    }
    if (got == -1) return;
    if (app::FilterMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Form::Hide() {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

bool Form::Unload(UnloadMode mode) {
  if (!loaded_) return true;
  if (unloading_) return false;
  unloading_ = true;
  bool cancel = false;
  OnQueryUnload(cancel, mode);
  if (!loaded_) return true;  // the handler ended the form itself
  if (!cancel || mode == UnloadMode::WindowGone) {
    cancel = false;
    OnUnload(cancel);
  }
  if (cancel && mode != UnloadMode::WindowGone) {
    unloading_ = false;
    return false;
  }
  Teardown();
  return true;
}

void Form::Teardown() {
  for (Timer* timer : timers_) timer->Disarm();
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->DestroyWindowNow();
  const HWND window = window_;
  window_ = nullptr;
  loaded_ = false;
  unloading_ = false;
  if (window != nullptr && !windowGone_) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
  app::FormUnloaded(*this);
}

bool Form::Owns(HWND window) const {
  if (!loaded_ || window_ == nullptr || window == nullptr) return false;
  return window == window_ || IsChild(window_, window);
}

bool Form::FilterMessage(const MSG& message) {
  return OnFilterMessage(message);
}

void Form::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (window_ != nullptr) SetWindowTextW(window_, caption_.c_str());
}

void Form::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
  if (window_ == nullptr) return;
  const TwipsScale& scale = app::Scale();
  SetWindowPos(window_, nullptr, scale.TwipsToPixelsX(leftTwips), scale.TwipsToPixelsY(topTwips),
               scale.TwipsToPixelsX(widthTwips), scale.TwipsToPixelsY(heightTwips), SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Form::TwipsArea() const {
  if (window_ == nullptr) return {};
  RECT rect{};
  GetWindowRect(window_, &rect);
  // A child's position is within its parent's client area.
  const HWND parent = (GetWindowLongW(window_, GWL_STYLE) & WS_CHILD) ? GetParent(window_) : nullptr;
  if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  const TwipsScale& scale = app::Scale();
  return {scale.PixelsToTwipsX(rect.left), scale.PixelsToTwipsY(rect.top), scale.PixelsToTwipsX(rect.right - rect.left),
          scale.PixelsToTwipsY(rect.bottom - rect.top)};
}

void Form::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void Form::AddControl(Control& control) {
  controls_.push_back(&control);
}

void Form::RemoveControl(Control& control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
}

int Form::AddTimer(Timer& timer) {
  timers_.push_back(&timer);
  return static_cast<int>(timers_.size());
}

void Form::RemoveTimer(Timer& timer) {
  // Keep the slot so that the other timers keep their identifiers.
  std::replace(timers_.begin(), timers_.end(), &timer, static_cast<Timer*>(nullptr));
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillWith(reinterpret_cast<HDC>(wParam), client, backColor_);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      PaintGraphics(dc, paint.rcPaint);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_TIMER: {
      const std::size_t index = static_cast<std::size_t>(wParam) - 1;
      if (wParam >= 1 && index < timers_.size() && timers_[index] != nullptr) {
        timers_[index]->Fire();
        return 0;
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
      if (RouteMouse(message, wParam, lParam)) return 0;
      break;
    case WM_ACTIVATE:
      // As a dialog box does: the control that had the focus gets it back when the form is active again
      // (after a message box or the open-file dialog), instead of the form's own window.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        focusWhenInactive_ = focus != nullptr && IsChild(window_, focus) ? focus : nullptr;
        return 0;
      }
      if (focusWhenInactive_ != nullptr && IsWindow(focusWhenInactive_) && IsChild(window_, focusWhenInactive_) &&
          IsWindowVisible(focusWhenInactive_) && IsWindowEnabled(focusWhenInactive_)) {
        SetFocus(focusWhenInactive_);
        return 0;
      }
      break;
    case WM_CLOSE:
      Unload(UnloadMode::ControlMenu);
      return 0;
    case WM_QUERYENDSESSION:
      return Unload(UnloadMode::SessionEnd) ? TRUE : FALSE;
    case WM_DESTROY:
      // Destroyed from outside (a parent window in another program went away): the form unloads with it.
      if (loaded_ && !unloading_) {
        windowGone_ = true;
        Unload(UnloadMode::WindowGone);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    form->window_ = window;
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr || form->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return form->HandleMessage(message, wParam, lParam);
}

}  // namespace orlinde::forms
