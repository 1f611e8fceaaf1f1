#include "host/forms/TimerWin32.h"
#include <windows.h>

#include "host/forms/FormWin32.h"

namespace orlinde::forms {

Timer::Timer(Form& form, unsigned intervalMs, bool enabled, std::function<void()> tick)
    : Tick(std::move(tick)), form_(form), intervalMs_(intervalMs), enabled_(enabled) {
  id_ = form_.AddTimer(*this);
}

Timer::~Timer() {
  Disarm();
  form_.RemoveTimer(*this);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Arm();
}

void Timer::SetInterval(unsigned intervalMs) {
  intervalMs_ = intervalMs;
  Arm();
}

void Timer::Arm() {
  const HWND window = form_.Hwnd();
  if (window == nullptr) return;  // armed when the form loads
  if (enabled_ && intervalMs_ > 0) {
    SetTimer(window, static_cast<UINT_PTR>(id_), intervalMs_, nullptr);
  } else {
    KillTimer(window, static_cast<UINT_PTR>(id_));
  }
}

void Timer::Disarm() {
  const HWND window = form_.Hwnd();
  if (window != nullptr) KillTimer(window, static_cast<UINT_PTR>(id_));
}

void Timer::Fire() {
  if (enabled_ && intervalMs_ > 0 && Tick) Tick();
}

}  // namespace orlinde::forms
