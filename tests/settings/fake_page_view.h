#pragma once
// A PageView that records what the page shows and runs its main-window timers on fake
// time: advance() fires due timers in order through a handler.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <functional>

#include "settings/page_view.h"

namespace norvane::testing {

struct PostedMessage {
  uint32_t id;
  uintptr_t wparam;
  intptr_t lparam;
};

struct LabelText {
  std::string text;
  bool language_key = false;
};

class FakePageView final : public PageView {
 public:
  void set_visible(std::string_view control, bool visible) override { visible_[std::string(control)] = visible; }
  void set_plain_text(std::string_view control, std::string_view text) override {
    text_[std::string(control)] = {std::string(text), false};
  }
  void set_language_text(std::string_view control, std::string_view key) override {
    text_[std::string(control)] = {std::string(key), true};
  }
  void set_progress(std::string_view control, int value) override { progress_[std::string(control)] = value; }
  void set_checked_quietly(std::string_view control, bool checked) override {
    checked_[std::string(control)] = checked;
  }
  void select_item_quietly(std::string_view control, int index) override { item_[std::string(control)] = index; }
  void start_timer(int id, int interval_ms) override { timers_[id] = {interval_ms, now_ms_ + interval_ms}; }
  void kill_timer(int id) override { timers_.erase(id); }
  void post_message(uint32_t id, uintptr_t wparam, intptr_t lparam) override {
    posted_.push_back({id, wparam, lparam});
  }

  // Moves fake time on by `ms`, firing every timer that falls due on the way.
  void advance(int64_t ms, const std::function<void(int id)>& fire);

  // Unknown controls read as hidden / unchecked / -1.
  bool visible(const std::string& control) const { return find(visible_, control, false); }
  bool checked(const std::string& control) const { return find(checked_, control, false); }
  int progress(const std::string& control) const { return find(progress_, control, -1); }
  int item(const std::string& control) const { return find(item_, control, -1); }
  LabelText text(const std::string& control) const { return find(text_, control, LabelText{}); }
  bool timer_running(int id) const { return timers_.count(id) != 0; }
  int timer_interval(int id) const { return timers_.count(id) ? timers_.at(id).interval_ms : -1; }

  std::vector<PostedMessage> take_posted(uint32_t id);
  int64_t now_ms() const { return now_ms_; }

 private:
  struct Timer {
    int interval_ms;
    int64_t due_ms;
  };
  template <typename Map, typename V>
  static V find(const Map& map, const std::string& key, V fallback) {
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
  }

  std::map<std::string, bool> visible_;
  std::map<std::string, bool> checked_;
  std::map<std::string, int> progress_;
  std::map<std::string, int> item_;
  std::map<std::string, LabelText> text_;
  std::map<int, Timer> timers_;
  std::vector<PostedMessage> posted_;
  int64_t now_ms_ = 0;
};

}  // namespace norvane::testing
