#pragma once
// What the settings page shows and schedules, addressed by control name and by the
// main window's timer and message numbers. The page implements it over its bound
// controls and the main window; tests record it. All calls are made on the UI thread.

#include <cstdint>
#include <string_view>

#include "device/link_sink.h"

namespace norvane {

// The timers are the link side's too (LinkTimers).
class PageView : public LinkTimers {
 public:

  virtual void set_visible(std::string_view control, bool visible) = 0;
  // Sets a label's text as plain text (it is no longer looked up as a language key).
  virtual void set_plain_text(std::string_view control, std::string_view text) = 0;
  // Makes a label show the language text of `key`.
  virtual void set_language_text(std::string_view control, std::string_view key) = 0;
  virtual void set_progress(std::string_view control, int value) = 0;
  // Selects or deselects an option or a check box without raising a notification.
  virtual void set_checked_quietly(std::string_view control, bool checked) = 0;
  // Selects item `index` of a list without raising a notification.
  virtual void select_item_quietly(std::string_view control, int index) = 0;

  // Posts a numbered message to the main window.
  virtual void post_message(uint32_t id, uintptr_t wparam, intptr_t lparam) = 0;
};

}  // namespace norvane
