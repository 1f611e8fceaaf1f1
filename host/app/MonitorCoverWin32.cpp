#include "host/app/MonitorCoverWin32.h"

#include "common/WindowTitles.h"
#include "host/app/HostTexts.h"
#include "host/app/MonitorCover.h"
#include "host/settings/CodePageWin32.h"

namespace orlinde {

namespace {

constexpr wchar_t kCoverClass[] = L"OrlindeCover";

ScreenRect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

struct MonitorList {
  std::vector<ScreenRect> monitors;
  ScreenRect primary;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& list = *reinterpret_cast<MonitorList*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  list.monitors.push_back(FromRect(info.rcMonitor));
  if (info.dwFlags & MONITORINFOF_PRIMARY) list.primary = FromRect(info.rcMonitor);
  return TRUE;
}

// Every monitor's rectangle and the primary's. The primary is the monitor whose origin is the screen's
// (0, 0), should none carry the primary flag.
MonitorList CurrentMonitors() {
  MonitorList list;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  if (list.primary.Empty()) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) {
      list.primary = FromRect(info.rcMonitor);
    }
  }
  return list;
}

LRESULT CALLBACK CoverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(nullptr);  // no pointer over a cover
      return TRUE;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click leaves the renderer active
    case WM_CLOSE:
      return 0;  // a cover lasts as long as the run; only the run end removes it
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterCoverClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CoverProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kCoverClass;
  registered = RegisterClassExW(&windowClass) != 0;
  return registered;
}

HWND MakeCover(const ScreenRect& rect) {
  return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass,
                         FromUtf8(texts::kCoverCaption).c_str(), WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// How often and how long the covers watch for the renderer's window after being laid: 20 s at most.
constexpr UINT kWatchIntervalMs = 100;
constexpr int kWatchTicks = 200;

// The covers being laid now, for the watch's timer (there is one run form, so one set of covers).
MonitorCovers* g_covers = nullptr;

}  // namespace

MonitorCovers::~MonitorCovers() {
  Remove();
}

void MonitorCovers::Lay() {
  if (!RegisterCoverClass()) return;
  const MonitorList list = CurrentMonitors();
  const std::vector<ScreenRect> rects = CoverRects(list.monitors, list.primary);

  while (windows_.size() > rects.size()) {
    DestroyWindow(windows_.back());
    windows_.pop_back();
  }
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const ScreenRect& rect = rects[i];
    if (i == windows_.size()) {
      const HWND made = MakeCover(rect);
      if (made == nullptr) break;
      windows_.push_back(made);
    }
    SetWindowPos(windows_[i], HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE);
    ShowWindow(windows_[i], SW_SHOWNOACTIVATE);
  }

  // The renderer's window comes up after the covers and reaches a few pixels past the primary monitor. Not
  // every system keeps another process's newly shown window below the top-most ones (Wine without a
  // window manager stacks it on top), so the covers are raised again once that window is there.
  g_covers = this;
  StopWatch();
  if (!windows_.empty()) {
    watch_ = SetTimer(nullptr, 0, kWatchIntervalMs, WatchTick);
    watchTicksLeft_ = kWatchTicks;
  }
}

void MonitorCovers::Remove() {
  StopWatch();
  if (g_covers == this) g_covers = nullptr;
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
  if (watch_ != 0) KillTimer(nullptr, watch_);
  watch_ = 0;
  watchTicksLeft_ = 0;
}

// Raises the covers once the renderer's window is visible, or gives up when it has not come within the
// watch's time (the renderer failed to start, or has already gone).
void CALLBACK MonitorCovers::WatchTick(HWND, UINT, UINT_PTR, DWORD) {
  MonitorCovers* covers = g_covers;
  if (covers == nullptr) return;
  const HWND renderer = FindWindowA(nullptr, kRendererWindowTitle);
  if (renderer != nullptr && IsWindowVisible(renderer)) {
    covers->Raise();
    covers->StopWatch();
  } else if (--covers->watchTicksLeft_ <= 0) {
    covers->StopWatch();
  }
}

}  // namespace orlinde
