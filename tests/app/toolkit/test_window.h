#pragma once
// A window for toolkit tests: any skin, records what reaches it.

#include <QString>
#include <vector>

#include "app/toolkit/window_base.h"
#include "tests/support/recording_target.h"

namespace norvane::testing {

class TestWindow : public WindowBase {
 public:
  TestWindow(QString class_name, QString skin) : class_name_(std::move(class_name)), skin_(std::move(skin)) {}
  ~TestWindow() override {
    if (destroyed_flag != nullptr) *destroyed_flag = true;
  }

  QString window_class_name() const override { return class_name_; }
  QString skin_file() const override { return skin_; }

  void notify(const Notification& n) override {
    notifications.notify(n);
    WindowBase::notify(n);
  }

  RecordingTarget notifications;
  std::vector<Message> messages;
  std::vector<int> timers;
  int destroy_calls = 0;
  int init_calls = 0;
  bool* destroyed_flag = nullptr;
  // Click on this control closes the window with this code.
  std::vector<std::pair<QString, int>> close_on_click;

 protected:
  void init() override { ++init_calls; }
  void on_click(const Notification& n) override {
    for (const auto& [name, code] : close_on_click) {
      if (n.sender_name == name) close(code);
    }
  }
  bool handle_custom_message(const Message& m) override {
    messages.push_back(m);
    return true;
  }
  void on_timer(int id) override { timers.push_back(id); }
  void on_destroy() override { ++destroy_calls; }

 private:
  QString class_name_;
  QString skin_;
};

}  // namespace norvane::testing
