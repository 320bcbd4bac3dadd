#pragma once
// The link side as the page wires it, recorded: the controller and the presenter
// that shows what it finds, over a fake view on fake time, the page's profile data
// with one default profile, fake Bluetooth LE transport and presence probe, page
// hooks that count, and the queue the driver libraries post their messages to.
// pump() hands queued messages to the controller the way the main window does:
// folded, one at a time, on this thread.

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "core/profile_defaults.h"
#include "device/library_message.h"
#include "device/link_controller.h"
#include "settings/link_presenter.h"
#include "tests/settings/fake_page_view.h"

namespace norvane::testing {

class FakeBle final : public BleLinkPort {
 public:
  void set_fragments(const std::string& vid, const std::string& pid) override {
    vid_fragment = vid;
    pid_fragment = pid;
  }
  bool has_registration() const override { return registered; }
  void register_notifications() override {
    registered = true;
    ++registrations;
  }
  bool unregister_notifications() override {
    registered = false;
    return true;
  }
  std::string vid_fragment, pid_fragment;
  bool registered = false;
  int registrations = 0;
};

class FakeProbe final : public BlePresenceProbe {
 public:
  bool mouse_present() override { return present; }
  bool present = false;
};

class CountingHooks final : public LinkPageHooks {
 public:
  void refresh_lighting_rows() override { ++lighting_refreshes; }
  void save_profile_store() override { ++saves; }
  void request_apply() override { ++apply_requests; }
  // The key itself stands for its text.
  std::string language_string(const char* key) const override { return key; }
  int lighting_refreshes = 0;
  int saves = 0;
  int apply_requests = 0;
};

// The main window's queue as the libraries see it: an NvPostTarget, safe from any thread.
class LibraryMessageQueue {
 public:
  NvPostTarget target() { return NvPostTarget{this, &LibraryMessageQueue::post}; }
  std::deque<PostedMessage> take();

 private:
  static void post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
  std::mutex mutex_;
  std::deque<PostedMessage> messages_;
};

class LinkHarness {
 public:
  explicit LinkHarness(DriverLinkPorts& drivers);
  ~LinkHarness();

  // The main window's start-up: open the links, handle what they posted, then the
  // page's start with the Bluetooth LE presence found.
  void start();
  // Hands every queued library message to the controller.
  void pump();
  // Handles what is queued, moves fake time on, then handles what the libraries
  // posted meanwhile.
  void advance(int64_t ms);
  // Messages 1290 posted since the last call.
  int posted_link_states() { return static_cast<int>(view.take_posted(UM_LINK_STATE).size()); }
  ProfileRecord& record() { return *profiles.current_profile; }

  FakePageView view;
  LinkState links;
  ProfileState profiles;
  FakeBle ble;
  FakeProbe probe;
  CountingHooks hooks;
  LibraryMessageQueue queue;
  std::atomic<int> applies{0};
  std::function<void()> on_apply;  // runs on the worker thread inside each apply
  std::unique_ptr<LinkPresenter> presenter;
  std::unique_ptr<LinkController> controller;
};

}  // namespace norvane::testing
