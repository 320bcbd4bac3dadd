// The link side against driver libraries that record their calls: the order of the
// calls at start-up and shut-down, the arrival wait, udev notices and the guards
// (no profile loaded yet, events off the UI thread). The scenarios of everyday use
// run against the virtual mouse (virtual_mouse_links_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/trace.h"
#include "settings/page_controls.h"
#include "tests/device/fake_drivers.h"
#include "tests/settings/link_harness.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

class LinkControllerTest : public ::testing::Test {
 protected:
  FakeDriverLink& wired() { return drivers.fake(LibraryLink::wired); }
  FakeDriverLink& wireless() { return drivers.fake(LibraryLink::wireless); }

  FakeDriverLinks drivers;
  LinkHarness h{drivers};
};

TEST_F(LinkControllerTest, StartUpOpensTheLibrariesInOrder) {
  wired().present = true;
  h.start();
  EXPECT_EQ(drivers.calls,
            (std::vector<std::string>{"load", "wired.set_vid_pid", "wired.open_monitor", "wired.open_feature",
                                      "wireless.set_vid_pid", "wireless.open_monitor", "wireless.open_feature",
                                      "8k.set_vid_pid", "8k.open_monitor", "8k.open_feature", "8k.open_report"}));
}

TEST_F(LinkControllerTest, ArrivalWaitsOnATimerThatOnlyARemovalCancels) {
  h.start();
  h.posted_link_states();

  wired().plug();
  h.advance(999);
  EXPECT_EQ(drivers.calls_with("wired.open_feature").size(), 1u);  // start-up only
  EXPECT_EQ(h.links.wired_state, kLinkAbsent);
  wired().plug();  // again while waiting: the wait is not restarted
  h.advance(1);
  EXPECT_EQ(drivers.calls_with("wired.open_feature").size(), 2u);
  EXPECT_EQ(h.links.wired_state, kLinkPresent);
  EXPECT_EQ(h.posted_link_states(), 1);

  wireless().plug();
  h.pump();
  wireless().unplug();
  h.advance(2000);
  EXPECT_EQ(drivers.calls_with("wireless.open_feature").size(), 1u);
  EXPECT_NE(h.links.wireless_state, kLinkPresent);
  EXPECT_FALSE(h.view.visible(page_controls::kWirelessIcon));
}

// A device that is there but may not be opened is never a present link, at start-up
// or on arrival; the controller keeps why, for the window's hint, and traces it.
TEST_F(LinkControllerTest, ADeviceThatCannotBeOpenedNeverMakesItsLinkPresent) {
  std::mutex traces_mutex;
  std::vector<std::string> traces;
  const TraceSink previous = set_trace_sink([&](const std::string& line) {
    std::lock_guard lock(traces_mutex);
    traces.push_back(line);
  });
  wired().present = true;
  wired().refuse_open = EACCES;
  h.start();
  EXPECT_EQ(h.links.wired_state, kLinkAbsent);
  EXPECT_FALSE(h.view.visible(kWiredIcon));
  EXPECT_EQ(h.controller->open_error(LibraryLink::wired), EACCES);
  EXPECT_EQ(h.controller->open_error(LibraryLink::wireless), 0);
  EXPECT_EQ(h.links.any_link, 0);
  h.posted_link_states();

  wireless().refuse_open = EACCES;
  wireless().plug();
  h.advance(1000);
  EXPECT_EQ(h.links.wireless_state, kLinkAbsent);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_FALSE(h.view.timer_running(TIMER_WIRELESS_WATCHDOG));
  EXPECT_EQ(h.links.any_link, 0);
  EXPECT_EQ(h.posted_link_states(), 1) << "the window hears of it and says why";
  EXPECT_EQ(h.controller->open_error(LibraryLink::wireless), EACCES);

  // Allowed now: the next arrival brings the link up and the error is gone.
  wireless().refuse_open = 0;
  wireless().plug();
  h.advance(1000);
  EXPECT_EQ(h.links.wireless_state, kLinkPresent);
  EXPECT_EQ(h.controller->open_error(LibraryLink::wireless), 0);
  EXPECT_EQ(h.posted_link_states(), 1);

  // Unplugged, the cable's error goes with it.
  wired().unplug();
  h.pump();
  EXPECT_EQ(h.controller->open_error(LibraryLink::wired), 0);

  set_trace_sink(previous);
  std::lock_guard lock(traces_mutex);
  EXPECT_NE(std::find(traces.begin(), traces.end(),
                      "cable: the device is there but cannot be opened: Permission denied\n"),
            traces.end());
  EXPECT_NE(std::find(traces.begin(), traces.end(), "2.4 GHz receiver arrived but did not open\n"), traces.end());
}

TEST_F(LinkControllerTest, EventsBeforeTheProfilesAreLoadedChangeNothing) {
  wireless().present = true;
  h.start();
  h.profiles.current_profile = nullptr;
  wireless().send_event(0x09, 0x10, 3, 0);
  wireless().send_event(0x09, 0x80, 1, 0);
  h.pump();
  EXPECT_EQ(h.hooks.saves, 0);
  EXPECT_TRUE(h.view.take_posted(UM_DPI_POPUP).empty());
}

TEST_F(LinkControllerTest, UdevNoticesOfTheBluetoothMouseConnectAndDisconnect) {
  h.start();
  DeviceChange change{DeviceChangeKind::arrival, HidIdentity{0x0003, 0x045E, 0x0009}, "usb"};
  h.controller->on_device_change(change);
  EXPECT_EQ(h.links.ble_present, 0);

  change.hid->bus = kHidBusBluetooth;
  h.controller->on_device_change(change);
  EXPECT_EQ(h.links.ble_present, 1);
  EXPECT_EQ(h.links.any_link, 1);

  change.kind = DeviceChangeKind::removal;
  h.controller->on_device_change(change);
  EXPECT_EQ(h.links.ble_present, 0);
  EXPECT_EQ(h.links.any_link, 0);
}

TEST_F(LinkControllerTest, EventsOffTheUiThreadAreDropped) {
  wireless().present = true;
  h.start();
  std::thread other([&] { h.controller->on_device_event(EventSource::ble, 0x1009, 3); });
  other.join();
  EXPECT_NE(h.record().current_dpi_level, 2);
  EXPECT_EQ(h.hooks.saves, 0);
}

TEST_F(LinkControllerTest, ShutDownWaitsForTheApplyBeforeReleasingTheLibraries) {
  wired().present = true;
  h.start();
  std::atomic<bool> entered{false};
  std::atomic<bool> unloaded_during_apply{false};
  h.on_apply = [&] {
    entered = true;
    entered.notify_one();
    // Keep "sending" until shut-down has begun (or, wrongly, released the libraries).
    while (!drivers.unloaded && !h.controller->apply_stop_requested()) std::this_thread::yield();
    unloaded_during_apply = drivers.unloaded.load();
  };
  h.controller->request_apply(0, 0);
  entered.wait(false);
  drivers.calls.clear();
  h.controller->close_links();

  EXPECT_EQ(h.applies, 1);
  EXPECT_FALSE(unloaded_during_apply);
  EXPECT_EQ(drivers.calls, (std::vector<std::string>{"wireless.close_feature", "wireless.close_monitor",
                                                     "wired.close_feature", "wired.close_monitor",
                                                     "8k.close_feature", "8k.close_monitor", "8k.close_report",
                                                     "unload"}));
  // A message still queued from before shut-down reaches no library.
  h.controller->on_link_value(LibraryLink::wired, 0x7F000002);
  EXPECT_EQ(drivers.calls.size(), 8u);
}

}  // namespace
}  // namespace norvane::testing
