#pragma once
// The settings page's view of its window: controls found by name (and remembered),
// the window's numbered timers and its message queue. UI thread only.

#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "app/toolkit/control.h"
#include "settings/page_view.h"

namespace norvane {

class WindowBase;

class PageViewAdapter final : public PageView {
 public:
  explicit PageViewAdapter(WindowBase& window) : window_(window) {}

  // The control named `name`; an invalid Control when the skin has none (every
  // operation on it then does nothing).
  Control control(std::string_view name);
  WindowBase& window() { return window_; }

  // PageView
  void set_visible(std::string_view control, bool visible) override;
  void set_plain_text(std::string_view control, std::string_view text) override;
  void set_language_text(std::string_view control, std::string_view key) override;
  void set_progress(std::string_view control, int value) override;
  void set_checked_quietly(std::string_view control, bool checked) override;
  void select_item_quietly(std::string_view control, int index) override;
  void start_timer(int id, int interval_ms) override;
  void kill_timer(int id) override;
  void post_message(uint32_t id, uintptr_t wparam, intptr_t lparam) override;

 private:
  WindowBase& window_;
  std::map<std::string, Control, std::less<>> controls_;
};

}  // namespace norvane
