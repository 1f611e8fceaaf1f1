#include "host/dialog/DialogLayout.h"

namespace orlinde::dialog {

int ScaleLength(int pixels, int dpi) {
  if (dpi <= 0) dpi = kDesignDpi;
  const long long scaled = static_cast<long long>(pixels) * dpi;
  // Halves away from zero, so that scaling is symmetric for negative offsets.
  return static_cast<int>(scaled >= 0 ? (scaled * 2 + kDesignDpi) / (2 * kDesignDpi)
                                      : -((-scaled * 2 + kDesignDpi) / (2 * kDesignDpi)));
}

Rect ScaledPlace(const ControlPlace& control, int dpi) {
  const Rect& r = control.place;
  if (control.fixedSize) return {ScaleLength(r.x, dpi), ScaleLength(r.y, dpi), r.width, r.height};
  return {ScaleLength(r.x, dpi), ScaleLength(r.y, dpi), ScaleLength(r.width, dpi), ScaleLength(r.height, dpi)};
}

}  // namespace orlinde::dialog
