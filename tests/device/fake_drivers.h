#pragma once
// Driver libraries that record every call in one log ("wired.open_feature", ...)
// and post link and event messages through the target their monitor was opened
// with, as a real library would.

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "device/driver_link_ports.h"

namespace norvane::testing {

class FakeDriverLinks;

class FakeDriverLink final : public DriverLinkPort {
 public:
  FakeDriverLink(FakeDriverLinks& owner, std::string name) : owner_(owner), name_(std::move(name)) {}

  void set_vid_pid(int, int) override { log("set_vid_pid"); }
  void open_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message) override;
  void close_monitor() override;
  int open_feature_device() override;
  void close_feature_device() override { log("close_feature"); }
  int open_report_device() override;
  void close_report_device() override { log("close_report"); }
  int open_error() override { return refuse_open; }

  // The device comes or goes: the library posts its link message.
  void plug();
  void unplug();
  // The mouse sends event report bytes 0..3 on this link.
  void send_event(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

  bool present = false;
  // While not 0, opens fail with this errno although the device is present.
  int refuse_open = 0;

 private:
  void log(const std::string& call);
  void post(uint32_t message, uintptr_t wparam, intptr_t lparam);

  FakeDriverLinks& owner_;
  std::string name_;
  NvPostTarget* target_ = nullptr;
  uint32_t event_message_ = 0;
  uint32_t link_message_ = 0;
};

class FakeDriverLinks final : public DriverLinkPorts {
 public:
  void load() override { calls.push_back("load"); }
  void unload() override {
    calls.push_back("unload");
    unloaded = true;
  }
  DriverLinkPort& link(LibraryLink which) override { return links_[static_cast<size_t>(which)]; }
  FakeDriverLink& fake(LibraryLink which) { return links_[static_cast<size_t>(which)]; }

  // Calls whose name contains `part`, in order.
  std::vector<std::string> calls_with(const std::string& part) const;

  std::vector<std::string> calls;
  std::atomic<bool> unloaded{false};

 private:
  std::array<FakeDriverLink, 3> links_{FakeDriverLink{*this, "wired"}, FakeDriverLink{*this, "wireless"},
                                       FakeDriverLink{*this, "8k"}};
};

}  // namespace norvane::testing
