#include "common/MonitorsWin32.h"

#include <windows.h>

namespace orlinde {
namespace {

struct Listing {
  std::vector<PixelRect> rects;
  std::size_t primary = SIZE_MAX;
  std::size_t atOrigin = SIZE_MAX;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& listing = *reinterpret_cast<Listing*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  if (info.dwFlags & MONITORINFOF_PRIMARY) listing.primary = listing.rects.size();
  if (r.left <= 0 && 0 < r.right && r.top <= 0 && 0 < r.bottom) listing.atOrigin = listing.rects.size();
  listing.rects.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
  return TRUE;
}

}  // namespace

MonitorSet CurrentMonitors() {
  Listing listing;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&listing));
  const std::size_t primary = listing.primary != SIZE_MAX ? listing.primary : listing.atOrigin;
  return CleanMonitors(listing.rects, primary == SIZE_MAX ? 0 : primary);
}

}  // namespace orlinde
