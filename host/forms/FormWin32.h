// A form: a top-level window with child controls and timers. It is loaded (window made, controls made,
// load event) without being shown; shown modeless or modal; and unloaded with a query-unload event first,
// which may cancel, then the unload event, which may cancel too, then the window goes. The process lives
// while a form is loaded (see app::Run).
//
// Forms are placed and sized in twips; their controls in pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/forms/ControlWin32.h"

namespace orlinde::forms {

class Timer;

// Why a form is being unloaded.
enum class UnloadMode {
  ControlMenu,  // the window was asked to close (WM_CLOSE: close box, Alt+F4, another program)
  Code,         // the program unloaded it
  SessionEnd,   // the user logs off or the system shuts down (WM_QUERYENDSESSION)
  WindowGone,   // the window was destroyed from outside (its parent went); cancelling is not possible
};

enum class ShowMode { Modeless, Modal };

class Form : public Container {
 public:
  explicit Form(std::wstring caption);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Makes the window (hidden) and the controls, arms enabled timers and runs OnLoad. True when the form
  // is loaded afterwards.
  bool Load();
  // Loads if needed and shows the window. Modal: returns when the form has unloaded.
  void Show(ShowMode mode = ShowMode::Modeless);
  void Hide();
  // Query-unload, then unload, then the window goes. False when an event cancelled.
  bool Unload(UnloadMode mode = UnloadMode::Code);

  bool Loaded() const { return loaded_; }
  HWND Hwnd() const { return window_; }
  // True while the window is being destroyed from outside (its children go with it).
  bool WindowGone() const { return windowGone_; }

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);

  // Outer rectangle in twips: on the screen, or within the parent window once the form is a child.
  void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips);
  // Outer rectangle in twips, as Move takes it.
  Rect TwipsArea() const;

  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);

  // Every control of the form, in the order they were made.
  const std::vector<Control*>& Controls() const { return controls_; }

  // Whether `window` is the form's own window or one of its descendants.
  bool Owns(HWND window) const;
  // The message loops offer a message to the form that owns its window (app::FilterMessage finds it)
  // before translating and dispatching it; true when the form took it, and the message then goes no
  // further.
  bool FilterMessage(const MSG& message);

  // Container
  Form& OwnerForm() override { return *this; }
  HWND ContainerWindow() const override { return window_; }
  COLORREF ContainerBackColor() const override { return backColor_; }

 protected:
  // Window styles and client size (pixels) used when the window is made.
  virtual DWORD Style() const { return WS_POPUP | WS_CLIPCHILDREN; }
  virtual DWORD ExStyle() const { return 0; }
  virtual SIZE InitialClientSize() const { return SIZE{0, 0}; }

  // Events.
  virtual void OnLoad() {}
  virtual void OnQueryUnload(bool& /*cancel*/, UnloadMode /*mode*/) {}
  virtual void OnUnload(bool& /*cancel*/) {}
  // Any other message of the form's window; return true when handled (with `result`).
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }
  // A message for the form or one of its controls, before the loop translates and dispatches it (keyboard
  // navigation lives here); return true to keep it from going further.
  virtual bool OnFilterMessage(const MSG& /*message*/) { return false; }

 private:
  friend class Control;
  friend class Timer;
  void AddControl(Control& control);
  void RemoveControl(Control& control);
  int AddTimer(Timer& timer);
  void RemoveTimer(Timer& timer);
  void Teardown();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::wstring caption_;
  COLORREF backColor_ = RGB(0, 0, 0);
  HWND window_ = nullptr;
  bool loaded_ = false;
  bool unloading_ = false;
  bool windowGone_ = false;
  HWND focusWhenInactive_ = nullptr;  // the control that had the focus when the form was last deactivated
  std::vector<Control*> controls_;
  std::vector<Timer*> timers_;
};

}  // namespace orlinde::forms
