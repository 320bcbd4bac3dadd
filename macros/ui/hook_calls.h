#pragma once
// Calls into the input-capture library's table that skip the entries it lacks: the
// program runs without the library, and an older one may miss some functions.

#include <cstdint>

#include "input_capture/hook_library.h"

namespace norvane {

class HookCalls {
 public:
  explicit HookCalls(const HookFunctions* functions) : f_(functions) {}

  // Whether capturing can be started at all.
  bool available() const { return f_ != nullptr && f_->installhook != nullptr; }

  // Starts delivering captured input to `target` (message 1034). False when the
  // library has no way to capture.
  bool install(NvPostTarget& target) const { return available() && f_->installhook(&target) != 0; }
  void remove() const {
    if (f_ && f_->removehook) f_->removehook();
  }
  void remove_mouse() const {
    if (f_ && f_->removemousehook) f_->removemousehook();
  }
  void enable_keys(bool on) const {
    if (f_ && f_->enablehook) f_->enablehook(on ? 1 : 0);
  }
  void enable_mouse(bool on) const {
    if (f_ && f_->enablemousehook) f_->enablemousehook(on ? 1 : 0);
  }
  void enable_wheel(bool on) const {
    if (f_ && f_->mousewheelenable) f_->mousewheelenable(on ? 1 : 0);
  }
  // Where the capture sees input (NV_CAPTURE_*); NV_CAPTURE_NONE when unknown.
  int scope() const { return f_ && f_->capturescope ? f_->capturescope() : NV_CAPTURE_NONE; }
  // When the event with these numbers happened (monotonic ms); false when unknown.
  bool event_time(uintptr_t wparam, intptr_t lparam, int64_t& ms) const {
    return f_ && f_->eventtime && f_->eventtime(wparam, lparam, &ms) == 1;
  }

 private:
  const HookFunctions* f_;
};

}  // namespace norvane
