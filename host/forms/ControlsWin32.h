// The child controls the host's forms use: picture box (a panel with a persistent image), label, image,
// shape and combo box.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/forms/ControlWin32.h"
#include "host/forms/GdiWin32.h"

namespace orlinde::forms {

// A picture box with a persistent image: everything drawn into Dc() is kept in a bitmap of the box's size
// and put on screen whenever the window paints. It is also a container for other controls.
class PictureBox : public WindowedControl, public Container {
 public:
  PictureBox(Container& container, Rect bounds, COLORREF backColor = RGB(0, 0, 0));
  ~PictureBox() override;

  // The device context of the persistent image: draw here, then Refresh. Valid while the form is loaded.
  HDC Dc() const { return image_ ? image_->Get() : nullptr; }
  // Fills the image with the back colour.
  void Cls();
  // Puts the image on screen now.
  void Refresh();

  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  void SetFont(const Font& font);
  const Font& GetFont() const { return font_; }
  bool Border() const { return border_; }
  void SetBorder(bool border) { border_ = border; }

  // Draws a picture into the image at (0, 0), at its own size.
  void SetPicture(const Picture& picture);

  // Container
  Form& OwnerForm() override { return WindowedControl::OwnerForm(); }
  HWND ContainerWindow() const override { return Hwnd(); }
  COLORREF ContainerBackColor() const override { return backColor_; }

 protected:
  DWORD Style() const override { return WS_CLIPCHILDREN | (border_ ? WS_BORDER : 0); }
  void OnCreated() override;
  void OnDestroying() override;
  void OnBoundsChanged(const Rect& old) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void MakeImage(int width, int height);
  void DropImage();

  COLORREF backColor_;
  COLORREF foreColor_ = RGB(0, 0, 0);
  Font font_;
  FontObject fontHandle_;
  bool border_ = false;
  Picture picture_;
  // The persistent image: a memory DC holding a bitmap of the box's size; null while the form is unloaded.
  std::unique_ptr<MemoryDc> image_;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
};

// A line of text on the container's background.
class Label : public GraphicControl {
 public:
  enum class Align { Left, Centre, Right };

  Label(Container& container, Rect bounds, std::wstring caption = {});

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  void SetForeColor(COLORREF colour);
  void SetFont(const Font& font);
  void SetAlignment(Align align);
  void SetBorder(bool border);
  // Sizes the label to its text now and after every caption or font change.
  void SetAutoSize(bool autoSize);
  // The keyboard focus cue: a dotted rectangle just outside the label, as a focused option shows.
  bool FocusCue() const { return focusCue_; }
  void SetFocusCue(bool shown);

  void Paint(HDC dc) override;
  Rect PaintArea() const override;

 private:
  void FitToText();

  std::wstring caption_;
  COLORREF foreColor_ = RGB(0, 0, 0);
  Font font_;
  FontObject fontHandle_;
  Align align_ = Align::Left;
  bool border_ = false;
  bool autoSize_ = false;
  bool focusCue_ = false;
};

// A picture shown at its own size (cut at the control's edges) or stretched to fill the control.
class Image : public GraphicControl {
 public:
  Image(Container& container, Rect bounds, Picture picture = {}, bool stretch = false);

  const Picture& GetPicture() const { return picture_; }
  void SetPicture(const Picture& picture);

  void Paint(HDC dc) override;

 private:
  Picture picture_;
  bool stretch_;
};

// A rectangle outline.
class Shape : public GraphicControl {
 public:
  Shape(Container& container, Rect bounds, COLORREF borderColor = RGB(0, 0, 0));
  void Paint(HDC dc) override;

 private:
  COLORREF borderColor_;
};

// An editable drop-down combo box with a list.
class ComboBox : public WindowedControl {
 public:
  ComboBox(Container& container, Rect bounds);

  std::wstring Text() const;
  void SetText(std::wstring text);
  void AddItem(std::wstring item);
  void SetFont(const Font& font);

 protected:
  const wchar_t* WindowClass() const override { return L"COMBOBOX"; }
  DWORD Style() const override { return CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP; }
  const wchar_t* InitialText() const override { return text_.c_str(); }
  void OnCreated() override;
  void OnDestroying() override;
  void OnBoundsChanged(const Rect& old) override;

 private:
  void PlaceWindow();

  std::wstring text_;
  std::vector<std::wstring> items_;
  Font font_;
  FontObject fontHandle_;
};

}  // namespace orlinde::forms
