#pragma once
// What an apply needs from the page that owns the windows and the profile store.
//
// Every call comes from the device worker thread. The watchdog timers and the busy ring
// belong to the UI thread: an implementation must hand those calls over to it (a queued
// invocation) rather than touch widgets or timers here. `save_profile_store` is called on
// the worker thread; the store's snapshot of the profile list is taken under
// ProfileState::mutex, which serialises it with the UI thread's changes.

#include <vector>

#include "protocol/macro_blocks.h"

namespace norvane {

class ApplyHost {
 public:
  virtual ~ApplyHost() = default;
  // Stops the receivers' online watchdogs (timers 528 and 532) while reports go out.
  virtual void kill_watchdogs() = 0;
  // Starts both watchdogs again with their 6,000 ms period.
  virtual void restart_watchdogs() = 0;
  // Shows or hides the busy indicator `apply_ring` (when the window has one).
  virtual void show_apply_ring(bool visible) = 0;
  // Writes the profile store.
  virtual void save_profile_store() = 0;
  // After an apply that sent the button mapping or a macro: the macro buttons that were
  // left out because their macro would overwrite an earlier button's macro in the mouse
  // (empty when none was). The user should hear about them; hand it to the UI thread.
  virtual void report_macro_overlaps(const std::vector<MacroOverlap>& overlaps) { (void)overlaps; }
};

}  // namespace norvane
