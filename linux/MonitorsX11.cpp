#include "linux/MonitorsX11.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace orlinde {
namespace {

// RandR's primary output's rectangle, or an empty one when RandR names none or it shows nothing.
PixelRect RandrPrimary(Display* display, Window root) {
  int eventBase = 0, errorBase = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase)) return {};
  const RROutput output = XRRGetOutputPrimary(display, root);
  if (output == None) return {};
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
  if (resources == nullptr) return {};
  PixelRect rect;
  if (XRROutputInfo* info = XRRGetOutputInfo(display, resources, output); info != nullptr) {
    if (info->crtc != None) {
      if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc); crtc != nullptr) {
        rect = {crtc->x, crtc->y, static_cast<std::int32_t>(crtc->width), static_cast<std::int32_t>(crtc->height)};
        XRRFreeCrtcInfo(crtc);
      }
    }
    XRRFreeOutputInfo(info);
  }
  XRRFreeScreenResources(resources);
  return rect;
}

}  // namespace

MonitorSet CurrentMonitorsX11(Display* display, int screen) {
  std::vector<PixelRect> heads;
  int eventBase = 0, errorBase = 0;
  if (XineramaQueryExtension(display, &eventBase, &errorBase) && XineramaIsActive(display)) {
    int count = 0;
    if (XineramaScreenInfo* info = XineramaQueryScreens(display, &count); info != nullptr) {
      for (int i = 0; i < count; ++i) heads.push_back({info[i].x_org, info[i].y_org, info[i].width, info[i].height});
      XFree(info);
    }
  }
  MonitorSet set = CleanMonitors(heads, 0);
  if (set.monitors.empty()) {
    set.monitors.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    return set;
  }
  const PixelRect primary = RandrPrimary(display, RootWindow(display, screen));
  for (std::size_t i = 0; i < set.monitors.size(); ++i) {
    if (!primary.Empty() && set.monitors[i] == primary) set.primary = i;
  }
  return set;
}

int WatchMonitorChangesX11(Display* display, int screen) {
  const Window root = RootWindow(display, screen);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, root, &attributes);
  XSelectInput(display, root, attributes.your_event_mask | StructureNotifyMask);
  int eventBase = 0, errorBase = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase)) return -1;
  XRRSelectInput(display, root, RRScreenChangeNotifyMask);
  return eventBase;
}

}  // namespace orlinde
