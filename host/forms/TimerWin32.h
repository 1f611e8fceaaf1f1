// A window timer owned by a form: an interval in milliseconds and an enabled flag. Its tick is a WM_TIMER
// message of the form's window, so it runs on the user-interface thread between other events. Turning it
// on, or changing the interval while it is on, starts a full interval; an interval of 0 never ticks.
#pragma once

#include <functional>

namespace orlinde::forms {

class Form;

class Timer {
 public:
  Timer(Form& form, unsigned intervalMs, bool enabled, std::function<void()> tick = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  std::function<void()> Tick;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return intervalMs_; }
  void SetInterval(unsigned intervalMs);

 private:
  friend class Form;
  void Arm();     // sets or kills the system timer to match the flag and interval
  void Disarm();  // kills the system timer (the form's window is going)
  void Fire();

  Form& form_;
  int id_ = 0;
  unsigned intervalMs_;
  bool enabled_;
};

}  // namespace orlinde::forms
