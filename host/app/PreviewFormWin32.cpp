#include "host/app/PreviewFormWin32.h"

#include <cstdint>

#include "assets/HostResources.h"
#include "common/CodePageWin32.h"
#include "host/app/HostTexts.h"
#include "host/forms/AppWin32.h"

namespace orlinde {

Velsora_R::Velsora_R()
    : forms::Form(FromUtf8(texts::kPreviewCaption)),
      Img_Prev(*this, {0, 0, 152, 112}, forms::Picture::FromResource(IDB_PREVIEW), true) {
  SetBackColor(RGB(0, 0, 0));
}

void Velsora_R::OnUnload(bool&) {
  PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
}

Velsora_R& PreviewForm() {
  static Velsora_R form;
  return form;
}

void OpenPreview(HWND parent) {
  if (parent == nullptr || !IsWindow(parent)) return;

  RECT area{};
  GetWindowRect(parent, &area);
  const forms::TwipsScale& scale = forms::app::Scale();
  const int width = scale.PixelsToTwipsX(area.right - area.left);
  const int height = scale.PixelsToTwipsY(area.bottom - area.top);

  Velsora_R& form = PreviewForm();
  if (!form.Load()) return;
  const HWND window = form.Hwnd();
  // A child may not keep the pop-up style.
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  SetWindowLongA(window, GWL_STYLE, (style | WS_CHILD) & ~static_cast<LONG>(WS_POPUP));
  SetParent(window, parent);
  if (!IsChild(parent, window)) {
    // The area went away in the meantime: a form left behind would keep the process alive unseen.
    form.Unload();
    return;
  }
  form.Move(0, 0, width, height);
  form.Img_Prev.Move({0, 0, scale.TwipsToPixelsX(width), scale.TwipsToPixelsY(height)});
  form.Show(forms::ShowMode::Modeless);
}

}  // namespace orlinde
