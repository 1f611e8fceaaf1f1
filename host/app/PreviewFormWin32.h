// The preview form Velsora_R: a black, borderless form titled "Preview Window" that shows the built-in
// preview picture. Main makes it a child of the control panel's preview area and sizes it to fill it.
#pragma once

#include <windows.h>

#include "host/forms/ControlsWin32.h"
#include "host/forms/FormWin32.h"

namespace orlinde {

class Velsora_R final : public forms::Form {
 public:
  Velsora_R();

  // The preview picture, stretched over the control (152 x 112 pixels at design time).
  forms::Image Img_Prev;

 protected:
  DWORD Style() const override { return WS_POPUP | WS_CLIPCHILDREN; }
  SIZE InitialClientSize() const override { return SIZE{152, 112}; }
  void OnUnload(bool& cancel) override;
};

// Makes the preview form a child of `parent`, sized to it, and shows it. When `parent` is not a window (the
// switch named none, or it has already closed) nothing opens and the process ends quietly.
void OpenPreview(HWND parent);

// The process's one preview form.
Velsora_R& PreviewForm();

}  // namespace orlinde
