#pragma once
// The desktop's tray and notification service as a test decides them.
//
//   FakeTray tray{false};                 // a desktop without a tray
//   ScopedTrayAvailability use(tray);
//   tray.set_available(true);             // a tray appears: the watcher is told
//
//   RecordingNotices notices;
//   ScopedDesktopNotices use_notices(notices);

#include <functional>
#include <utility>
#include <vector>

#include "app/toolkit/desktop_notices.h"
#include "app/toolkit/tray_availability.h"

namespace norvane::testing {

class FakeTray final : public TrayAvailability {
 public:
  explicit FakeTray(bool available) : available_(available) {}

  bool available() override { return available_; }
  void watch(std::function<void()> changed) override { changed_ = std::move(changed); }

  void set_available(bool available) {
    available_ = available;
    if (changed_) changed_();
  }
  bool watched() const { return static_cast<bool>(changed_); }

 private:
  bool available_;
  std::function<void()> changed_;
};

class RecordingNotices final : public DesktopNotices {
 public:
  bool show(const DesktopNotice& notice) override {
    shown.push_back(notice);
    return true;
  }
  std::vector<DesktopNotice> shown;
};

}  // namespace norvane::testing
