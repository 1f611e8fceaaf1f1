#include "host/app/MonitorCoverWin32.h"

#include "common/CodePageWin32.h"
#include "common/MonitorLayout.h"
#include "common/MonitorsWin32.h"
#include "common/WindowTitles.h"
#include "host/app/HostTexts.h"

namespace orlinde {

namespace {

constexpr wchar_t kCoverClass[] = L"OrlindeCover";

bool RegisterCoverClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kCoverClass;
  registered = RegisterClassExW(&windowClass) != 0;
  return registered;
}

// A cover that knows its owner: the window carries it from its creation on.
HWND MakeCover(const PixelRect& rect, MonitorCovers* owner) {
  return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass,
                         FromUtf8(texts::kCoverCaption).c_str(), WS_POPUP, rect.x, rect.y, rect.width, rect.height,
                         nullptr, nullptr, GetModuleHandleW(nullptr), owner);
}

// How often and how long the covers watch for the renderer's window after being laid: 20 s at most. The
// watch is a timer of the first cover's window.
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 100;
constexpr int kWatchTicks = 200;

}  // namespace

MonitorCovers::~MonitorCovers() {
  Remove();
}

void MonitorCovers::Lay(MonitorMode mode) {
  mode_ = mode;
  if (!RegisterCoverClass(Procedure)) return;
  StopWatch();
  desk_ = CurrentMonitors();
  const std::vector<PixelRect> rects = BlackAreas(mode, desk_);

  while (windows_.size() > rects.size()) {
    DestroyWindow(windows_.back());
    windows_.pop_back();
  }
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const PixelRect& rect = rects[i];
    if (i == windows_.size()) {
      const HWND made = MakeCover(rect, this);
      if (made == nullptr) break;
      windows_.push_back(made);
    }
    SetWindowPos(windows_[i], HWND_TOPMOST, rect.x, rect.y, rect.width, rect.height, SWP_NOACTIVATE);
    ShowWindow(windows_[i], SW_SHOWNOACTIVATE);
  }

  // The renderer's window comes up after the covers and reaches a few pixels past the primary monitor. Not
  // every system keeps another process's newly shown window below the top-most ones (Wine without a
  // window manager stacks it on top), so the covers are raised again once that window is there.
  if (!windows_.empty() && SetTimer(windows_.front(), kWatchTimer, kWatchIntervalMs, nullptr) != 0) {
    watchTicksLeft_ = kWatchTicks;
  }
}

void MonitorCovers::Follow() {
  if (CurrentMonitors() != desk_) Lay(mode_);
}

void MonitorCovers::Remove() {
  StopWatch();
  for (const HWND window : windows_) DestroyWindow(window);
  windows_.clear();
}

// For a cover already first among the top-most windows, HWND_TOPMOST alone changes no window order, so
// nothing need be stacked anew; it goes to the top of the other windows first, then back among the
// top-most ones, which makes the system restack it. It stays above the renderer at every step.
void MonitorCovers::Raise() {
  constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  for (const HWND window : windows_) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kKeep);
  }
}

void MonitorCovers::StopWatch() {
  if (!windows_.empty()) KillTimer(windows_.front(), kWatchTimer);
  watchTicksLeft_ = 0;
}

// Raises the covers once the renderer's window is visible, or gives up when it has not come within the
// watch's time (the renderer failed to start, or has already gone).
void MonitorCovers::WatchTick() {
  const HWND renderer = FindWindowA(nullptr, kRendererWindowTitle);
  if (renderer != nullptr && IsWindowVisible(renderer)) {
    Raise();
    StopWatch();
  } else if (--watchTicksLeft_ <= 0) {
    StopWatch();
  }
}

LRESULT CALLBACK MonitorCovers::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(nullptr);  // no pointer over a cover
      return TRUE;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click leaves the renderer active
    case WM_CLOSE:
      return 0;  // a cover lasts as long as the run; only the run end removes it
    case WM_TIMER:
      if (wParam == kWatchTimer) {
        auto* owner = reinterpret_cast<MonitorCovers*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (owner != nullptr) owner->WatchTick();
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orlinde
