// The base of every child control, and the containers that hold them (a form, or a picture box used as a
// panel). Two kinds of control exist:
//  - windowless ones (labels, images, shapes) that the container paints over its own background and whose
//    mouse presses it routes to them; they are transparent where they draw nothing;
//  - windowed ones (picture boxes, combo boxes, user controls) with a child window of their own, created
//    when the form loads and destroyed when it unloads.
// Control positions and sizes are pixels within the container.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "host/forms/Geometry.h"

namespace orlinde::forms {

class Form;
class GraphicControl;

class Container {
 public:
  virtual ~Container() = default;
  virtual Form& OwnerForm() = 0;
  // The window that the contained controls live in; null before the form loads.
  virtual HWND ContainerWindow() const = 0;
  virtual COLORREF ContainerBackColor() const = 0;

  void AddGraphic(GraphicControl& control);
  void RemoveGraphic(GraphicControl& control);
  // Repaints the given part of the container (pixels), windowless controls included.
  void InvalidateArea(const Rect& area);

 protected:
  // Paints the visible windowless controls that touch `clip`, in the order they were made (later on top).
  void PaintGraphics(HDC dc, const RECT& clip);
  // Routes a mouse message of the container's window to the topmost enabled windowless control under the
  // pointer. True when one took it.
  bool RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  std::vector<GraphicControl*> graphics_;
  GraphicControl* pressed_ = nullptr;
};

class Control {
 public:
  Control(Container& container, Rect bounds);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Container& Holder() const { return container_; }
  Form& OwnerForm() const { return container_.OwnerForm(); }
  // The control's own window; null for windowless controls and before the form loads.
  virtual HWND Hwnd() const { return nullptr; }

  const Rect& Area() const { return bounds_; }
  int Left() const { return bounds_.x; }
  int Top() const { return bounds_.y; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void Move(Rect bounds);
  void Move(int left, int top) { Move({left, top, bounds_.width, bounds_.height}); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

 protected:
  // Called after a change of position, size, visibility or enabled state.
  virtual void OnBoundsChanged(const Rect& old) = 0;
  virtual void OnVisibleChanged() = 0;
  virtual void OnEnabledChanged() = 0;

 private:
  friend class Form;
  // Windowed controls make and drop their window here; the form calls them at load and unload.
  virtual void CreateWindowNow() {}
  virtual void DestroyWindowNow() {}

  Container& container_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
};

// A control without a window: painted by its container.
class GraphicControl : public Control {
 public:
  GraphicControl(Container& container, Rect bounds);
  ~GraphicControl() override;

  // Mouse events: button, shift state (MK_SHIFT / MK_CONTROL bits), position within the control.
  std::function<void(MouseButton button, int shift, int x, int y)> MouseDown;
  std::function<void()> Click;

  // Paints the control into the container's device context; the origin is the container's.
  virtual void Paint(HDC dc) = 0;
  // Where Paint may draw: the control's area, or more where a control draws around itself (a focus cue).
  virtual Rect PaintArea() const { return Area(); }

  // Asks the container to repaint the control.
  void Refresh();

 protected:
  void OnBoundsChanged(const Rect& old) override;
  void OnVisibleChanged() override { Refresh(); }
  void OnEnabledChanged() override { Refresh(); }
};

// A control with a child window of its own. Subclasses say how the window is made.
class WindowedControl : public Control {
 public:
  WindowedControl(Container& container, Rect bounds);
  ~WindowedControl() override;
  HWND Hwnd() const override { return window_; }

  // Focus events of windows of this layer's own control class: the window got or lost the keyboard focus.
  std::function<void()> GotFocus;
  std::function<void()> LostFocus;

 protected:
  // Class, styles and text of the window. The default is this layer's own control class, whose
  // messages go to HandleMessage.
  virtual const wchar_t* WindowClass() const;
  virtual DWORD Style() const { return 0; }
  virtual DWORD ExStyle() const { return 0; }
  virtual const wchar_t* InitialText() const { return L""; }
  // Runs after the window exists (set fonts, fill lists).
  virtual void OnCreated() {}
  // Runs before the window goes.
  virtual void OnDestroying() {}
  // Messages of windows of this layer's own control class.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnBoundsChanged(const Rect& old) override;
  void OnVisibleChanged() override;
  void OnEnabledChanged() override;

 private:
  void CreateWindowNow() override;
  void DestroyWindowNow() override;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

}  // namespace orlinde::forms
