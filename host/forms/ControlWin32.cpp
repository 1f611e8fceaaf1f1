#include "host/forms/ControlWin32.h"

#include <algorithm>

#include "host/forms/FormWin32.h"
#include "host/forms/SystemNamesWin32.h"

namespace orlinde::forms {

namespace {

constexpr wchar_t kControlClass[] = L"OrlindeControl";

RECT ToRect(const Rect& b) {
  return RECT{b.x, b.y, b.Right(), b.Bottom()};
}

MouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
      return MouseButton::Right;
    case WM_MBUTTONDOWN:
      return MouseButton::Middle;
    default:
      return MouseButton::Left;
  }
}

}  // namespace

// --- Container ------------------------------------------------------------------------------------

void Container::AddGraphic(GraphicControl& control) {
  graphics_.push_back(&control);
}

void Container::RemoveGraphic(GraphicControl& control) {
  graphics_.erase(std::remove(graphics_.begin(), graphics_.end(), &control), graphics_.end());
  if (pressed_ == &control) pressed_ = nullptr;
}

void Container::InvalidateArea(const Rect& area) {
  const HWND window = ContainerWindow();
  if (window == nullptr) return;
  const RECT rect = ToRect(area);
  InvalidateRect(window, &rect, TRUE);
}

void Container::PaintGraphics(HDC dc, const RECT& clip) {
  for (GraphicControl* control : graphics_) {
    if (!control->Visible()) continue;
    const RECT area = ToRect(control->PaintArea());
    RECT overlap;
    if (!IntersectRect(&overlap, &area, &clip)) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    control->Paint(dc);
    RestoreDC(dc, saved);
  }
}

bool Container::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  GraphicControl* hit = nullptr;
  for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
    GraphicControl* control = *it;
    if (control->Visible() && control->Enabled() && control->Area().Contains(x, y)) {
      hit = control;
      break;
    }
  }
  if (message == WM_LBUTTONUP) {
    GraphicControl* pressed = pressed_;
    pressed_ = nullptr;
    if (hit == nullptr || hit != pressed) return false;
    if (hit->Click) hit->Click();
    return true;
  }
  if (hit == nullptr) return false;
  const MouseButton button = ButtonOf(message);
  if (button == MouseButton::Left) pressed_ = hit;
  const int shift = static_cast<int>(wParam & (MK_SHIFT | MK_CONTROL));
  // The handler may end the form; nothing of the control is touched after it.
  if (hit->MouseDown) hit->MouseDown(button, shift, x - hit->Left(), y - hit->Top());
  return true;
}

// --- Control --------------------------------------------------------------------------------------

Control::Control(Container& container, Rect bounds) : container_(container), bounds_(bounds) {
  container_.OwnerForm().AddControl(*this);
}

Control::~Control() {
  container_.OwnerForm().RemoveControl(*this);
}

void Control::Move(Rect bounds) {
  const Rect old = bounds_;
  bounds_ = bounds;
  OnBoundsChanged(old);
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  OnVisibleChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  OnEnabledChanged();
}

// --- GraphicControl -------------------------------------------------------------------------------

GraphicControl::GraphicControl(Container& container, Rect bounds) : Control(container, bounds) {
  Holder().AddGraphic(*this);
}

GraphicControl::~GraphicControl() {
  Holder().RemoveGraphic(*this);
}

void GraphicControl::Refresh() {
  Holder().InvalidateArea(PaintArea());
}

void GraphicControl::OnBoundsChanged(const Rect& old) {
  const Rect now = Area();
  const Rect painted = PaintArea();
  // What was painted around the old area went by the same margins.
  Holder().InvalidateArea({old.x - (now.x - painted.x), old.y - (now.y - painted.y),
                           old.width + (painted.width - now.width), old.height + (painted.height - now.height)});
  Refresh();
}

// --- WindowedControl ------------------------------------------------------------------------------

WindowedControl::WindowedControl(Container& container, Rect bounds) : Control(container, bounds) {}

WindowedControl::~WindowedControl() {
  if (window_ != nullptr && IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

const wchar_t* WindowedControl::WindowClass() const {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, WideName(IDC_ARROW));
    windowClass.lpszClassName = kControlClass;
    registered = RegisterClassExW(&windowClass) != 0;
  }
  return kControlClass;
}

void WindowedControl::CreateWindowNow() {
  if (window_ != nullptr) return;
  const HWND parent = Holder().ContainerWindow();
  if (parent == nullptr) return;
  DWORD style = Style() | WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible()) style |= WS_VISIBLE;
  if (!Enabled()) style |= WS_DISABLED;
  const Rect& b = Area();
  window_ = CreateWindowExW(ExStyle(), WindowClass(), InitialText(), style, b.x, b.y, b.width, b.height, parent,
                            nullptr, GetModuleHandleW(nullptr), this);
  if (window_ != nullptr) OnCreated();
}

void WindowedControl::DestroyWindowNow() {
  if (window_ == nullptr) return;
  OnDestroying();
  const HWND window = window_;
  window_ = nullptr;
  // When the form's window was destroyed from outside, the system takes the children with it.
  if (!OwnerForm().WindowGone() && IsWindow(window)) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
}

LRESULT WindowedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS && GotFocus) GotFocus();
  if (message == WM_KILLFOCUS && LostFocus) LostFocus();
  return DefWindowProcW(window_, message, wParam, lParam);
}

void WindowedControl::OnBoundsChanged(const Rect&) {
  if (window_ == nullptr) return;
  const Rect& b = Area();
  SetWindowPos(window_, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowedControl::OnVisibleChanged() {
  if (window_ != nullptr) ShowWindow(window_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void WindowedControl::OnEnabledChanged() {
  if (window_ != nullptr) EnableWindow(window_, Enabled() ? TRUE : FALSE);
}

LRESULT CALLBACK WindowedControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control = static_cast<WindowedControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    control->window_ = window;
  }
  auto* control = reinterpret_cast<WindowedControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr || control->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return control->HandleMessage(message, wParam, lParam);
}

}  // namespace orlinde::forms
