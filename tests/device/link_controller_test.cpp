// The link side against driver libraries that record their calls: start-up, arrival
// and removal, the mouse's own events, battery, Bluetooth LE and shut-down.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "device/link_controls.h"
#include "tests/device/fake_drivers.h"
#include "tests/device/link_harness.h"

namespace norvane::testing {
namespace {

using namespace link_controls;

class LinkControllerTest : public ::testing::Test {
 protected:
  FakeDriverLink& wired() { return drivers.fake(LibraryLink::wired); }
  FakeDriverLink& wireless() { return drivers.fake(LibraryLink::wireless); }
  FakeDriverLink& wireless_8k() { return drivers.fake(LibraryLink::wireless_8k); }
  void battery(FakeDriverLink& link, uint8_t status, uint8_t level) {
    link.send_event(0x09, 0x40, status, level);
    h.pump();
  }
  bool records_equal() {
    return std::memcmp(h.profiles.current_profile, h.profiles.last_applied.get(), sizeof(ProfileRecord)) == 0;
  }

  FakeDriverLinks drivers;
  LinkHarness h{drivers};
};

TEST_F(LinkControllerTest, StartWithOnlyTheCable) {
  wired().present = true;
  h.start();

  EXPECT_EQ(drivers.calls,
            (std::vector<std::string>{"load", "wired.set_vid_pid", "wired.open_monitor", "wired.open_feature",
                                      "wireless.set_vid_pid", "wireless.open_monitor", "wireless.open_feature",
                                      "8k.set_vid_pid", "8k.open_monitor", "8k.open_feature", "8k.open_report"}));
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_FALSE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.view.text(kPowerLabel).text, "charging_text");
  EXPECT_TRUE(h.view.text(kPowerLabel).language_key);
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.links.mouse_sleeping, 0);
  EXPECT_EQ(h.posted_link_states(), 1);
  // The page's start-up call with Bluetooth LE absent stops the sweep again.
  EXPECT_FALSE(h.view.timer_running(TIMER_CHARGING));
}

TEST_F(LinkControllerTest, ReceiverWithSleepingMouseShowsItsIconUntilTheWatchdog) {
  wireless().present = true;
  h.start();
  EXPECT_TRUE(h.view.visible(kWirelessIcon));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.posted_link_states(), 1);

  h.advance(5999);
  EXPECT_TRUE(h.view.visible(kWirelessIcon));
  h.advance(1);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_FALSE(h.view.timer_running(TIMER_WIRELESS_WATCHDOG));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.links.wireless_state, kLinkPresent);
  EXPECT_EQ(h.posted_link_states(), 0);
}

TEST_F(LinkControllerTest, ArrivalReopensAfterTheWaitAndOnlyOnce) {
  h.start();
  EXPECT_EQ(h.links.any_link, 0);
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  h.posted_link_states();

  wired().plug();
  h.pump();
  h.advance(999);
  EXPECT_EQ(drivers.calls_with("wired.open_feature").size(), 1u);  // start-up only
  EXPECT_EQ(h.links.wired_state, kLinkAbsent);
  wired().plug();  // again while waiting: the wait is not restarted
  h.advance(1);
  EXPECT_EQ(drivers.calls_with("wired.open_feature").size(), 2u);
  EXPECT_EQ(h.links.wired_state, kLinkPresent);
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.posted_link_states(), 1);
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_FALSE(h.view.visible(kSleepLabel));
  EXPECT_TRUE(h.view.text(kPowerLabel).language_key);
  EXPECT_TRUE(h.view.timer_running(TIMER_CHARGING));

  wired().plug();  // a present link: nothing, no wait
  h.advance(2000);
  EXPECT_EQ(drivers.calls_with("wired.open_feature").size(), 2u);
  EXPECT_EQ(h.posted_link_states(), 0);
}

TEST_F(LinkControllerTest, RemovalWhileWaitingCancelsTheArrival) {
  wired().present = true;
  h.start();
  wireless().plug();
  h.pump();
  wireless().unplug();
  h.pump();
  h.advance(2000);
  EXPECT_EQ(drivers.calls_with("wireless.open_feature").size(), 1u);
  EXPECT_NE(h.links.wireless_state, kLinkPresent);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
}

TEST_F(LinkControllerTest, UnpluggingTheLastLinkPostsOnce) {
  wired().present = true;
  wireless().present = true;
  h.start();
  h.posted_link_states();

  wireless().unplug();
  h.pump();
  EXPECT_EQ(h.links.wireless_state, kLinkGone);
  EXPECT_EQ(h.posted_link_states(), 0);
  EXPECT_EQ(h.links.any_link, 1);

  wired().unplug();
  h.pump();
  EXPECT_EQ(h.posted_link_states(), 1);
  EXPECT_EQ(h.links.any_link, 0);
  EXPECT_EQ(h.links.mouse_sleeping, 1);
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  EXPECT_FALSE(h.view.visible(kWiredIcon));
  EXPECT_EQ(h.view.text(kPowerLabel).text, "");
  EXPECT_FALSE(h.view.text(kPowerLabel).language_key);

  wired().unplug();  // already gone
  h.pump();
  EXPECT_EQ(h.posted_link_states(), 0);
  EXPECT_EQ(drivers.calls_with("wired.close_feature").size(), 1u);
}

TEST_F(LinkControllerTest, DpiLevelEventFollowsTheMouseAndSaves) {
  wireless().present = true;
  h.start();
  h.record().dpi_value[2] = 64;
  h.record().light_brightness = 3;  // an edit not applied yet

  wireless().send_event(0x09, 0x10, 3, 0);
  h.pump();
  EXPECT_TRUE(h.view.checked(dpi_level_option(3)));
  EXPECT_EQ(h.record().current_dpi_level, 2);
  const auto popups = h.view.take_posted(UM_DPI_POPUP);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].wparam, 0u);
  EXPECT_EQ(popups[0].lparam, 64);
  EXPECT_EQ(h.hooks.saves, 1);
  EXPECT_TRUE(records_equal());

  for (uint8_t level : {0, 9}) wireless().send_event(0x09, 0x10, level, 0);
  wireless().send_event(0x08, 0x10, 1, 0);  // not an event report
  h.pump();
  EXPECT_EQ(h.record().current_dpi_level, 2);
  EXPECT_EQ(h.hooks.saves, 1);
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

TEST_F(LinkControllerTest, AcknowledgementTestsOnlyTheLowByte) {
  wireless().present = true;
  h.start();
  wireless().send_event(0x09, 0x50, 0x01, 0x00);  // value 0x0001
  h.pump();
  EXPECT_EQ(h.links.wireless_ack, 0);
  wireless().send_event(0x09, 0x50, 0x00, 0x01);  // value 0x0100
  h.pump();
  EXPECT_EQ(h.links.wireless_ack, 1);
  EXPECT_EQ(h.hooks.saves, 0);
}

TEST_F(LinkControllerTest, PollingRateTakesEachValidHalfForItsSource) {
  wireless().present = true;
  wireless_8k().present = true;
  h.start();
  h.record().polling_rate = 0;
  h.record().polling_rate_hs = 0;

  wireless().send_event(0x09, 0x20, 0x32, 0);
  h.pump();
  EXPECT_EQ(h.record().polling_rate, 1);
  EXPECT_EQ(h.record().polling_rate_hs, 2);
  EXPECT_TRUE(h.view.checked(rate_option(2)));
  EXPECT_TRUE(h.view.checked(rate_hs_option(3)));

  wireless_8k().send_event(0x09, 0x20, 0x74, 0);  // 8 kHz: high half only
  h.pump();
  EXPECT_EQ(h.record().polling_rate, 1);
  EXPECT_EQ(h.record().polling_rate_hs, 6);

  h.controller->on_device_event(EventSource::ble, 0x2009, 0x13);  // BLE: low half only
  EXPECT_EQ(h.record().polling_rate, 2);
  EXPECT_EQ(h.record().polling_rate_hs, 6);
  EXPECT_EQ(h.hooks.saves, 3);

  wireless().send_event(0x09, 0x20, 0x84, 0);  // high nibble 8 is out of range
  h.pump();
  EXPECT_EQ(h.record().polling_rate, 3);
  EXPECT_EQ(h.record().polling_rate_hs, 6);
  EXPECT_FALSE(h.view.checked(rate_hs_option(8)));

  wireless().send_event(0x09, 0x20, 0x05, 0);  // both halves out of range
  h.pump();
  EXPECT_EQ(h.record().polling_rate, 3);
  EXPECT_EQ(h.hooks.saves, 4);
}

TEST_F(LinkControllerTest, LightingModeEventSelectsTheEntryAndRefreshesTheRows) {
  wireless().present = true;
  h.start();
  const int refreshes = h.hooks.lighting_refreshes;
  wireless().send_event(0x09, 0x70, 0x53, 0);  // mode 5
  h.pump();
  EXPECT_EQ(h.record().light_mode, 5);
  EXPECT_EQ(h.view.item(kLightCombo), 5);
  EXPECT_EQ(h.hooks.lighting_refreshes, refreshes + 1);
  EXPECT_EQ(h.hooks.saves, 1);

  wireless().send_event(0x09, 0x70, 0xC0, 0);  // no such mode
  h.pump();
  EXPECT_EQ(h.record().light_mode, 5);
  EXPECT_EQ(h.hooks.saves, 1);
}

TEST_F(LinkControllerTest, BatteryThroughAReceiverMarksTheMouseOnline) {
  wireless().present = true;
  h.start();
  h.advance(5000);
  battery(wireless(), 0, 57);
  EXPECT_EQ(h.view.progress(kPowerProgress), 57);
  EXPECT_EQ(h.view.text(kPowerLabel).text, "57%");
  EXPECT_FALSE(h.view.text(kPowerLabel).language_key);
  EXPECT_TRUE(h.view.visible(kWirelessIcon));
  EXPECT_FALSE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.links.wireless_online, 1);
  EXPECT_EQ(h.links.mouse_sleeping, 0);

  for (uint8_t level : {0, 101}) battery(wireless(), 0, level);  // levels ignored here
  EXPECT_EQ(h.view.text(kPowerLabel).text, "57%");

  h.advance(5999);  // the report restarted the watchdog
  EXPECT_EQ(h.links.wireless_online, 1);
  h.advance(1);
  EXPECT_EQ(h.links.wireless_online, 0);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
}

TEST_F(LinkControllerTest, BatteryWithTheCableCharges) {
  wired().present = true;
  wireless().present = true;
  wireless_8k().present = true;
  h.start();
  battery(wireless(), 0, 57);
  battery(wireless_8k(), 0, 57);
  ASSERT_EQ(h.links.wireless_online, 1);

  battery(wired(), 3, 0);
  EXPECT_EQ(h.view.text(kPowerLabel).text, "charging_text");
  EXPECT_TRUE(h.view.text(kPowerLabel).language_key);
  EXPECT_EQ(h.links.wireless_online, 0);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  h.advance(3 * kChargingStepMs);
  EXPECT_EQ(h.view.progress(kPowerProgress), 4);  // 0, 2, 4, ...

  battery(wired(), 2, 0);
  EXPECT_EQ(h.view.progress(kPowerProgress), 100);
  EXPECT_EQ(h.view.text(kPowerLabel).text, "100%");
  EXPECT_FALSE(h.view.timer_running(TIMER_CHARGING));
  EXPECT_EQ(h.links.wireless_8k_online, 0);
  EXPECT_FALSE(h.view.visible(kWireless8kIcon));
}

TEST_F(LinkControllerTest, ChargingSweepWrapsAfterOneHundred) {
  wired().present = true;
  h.start();
  battery(wired(), 3, 0);
  h.advance(51 * kChargingStepMs);
  EXPECT_EQ(h.view.progress(kPowerProgress), 100);
  h.advance(kChargingStepMs);
  EXPECT_EQ(h.view.progress(kPowerProgress), 0);
}

TEST_F(LinkControllerTest, BatteryOverBluetoothShowsZeroButNotAboveAHundred) {
  h.probe.present = true;
  h.start();
  h.controller->on_device_event(EventSource::ble, 0x4009, 0x0000);
  EXPECT_EQ(h.view.text(kPowerLabel).text, "0%");
  h.controller->on_device_event(EventSource::ble, 0x4009, 0x6500);  // 101
  EXPECT_EQ(h.view.text(kPowerLabel).text, "0%");
  EXPECT_EQ(h.links.wireless_online, 0);
}

TEST_F(LinkControllerTest, BluetoothConnectionTakesOverFromTheCable) {
  wired().present = true;
  h.start();
  h.controller->set_ble_connected(true);
  EXPECT_EQ(h.links.wired_state, kLinkGone);
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_TRUE(h.view.visible(kBleIcon));
  EXPECT_EQ(h.ble.vid_fragment, "VID&02045E");
  EXPECT_EQ(h.ble.pid_fragment, "PID&0009");
  h.advance(2000);
  EXPECT_EQ(h.ble.registrations, 1);
  EXPECT_FALSE(h.view.visible(kRateCheck));  // no rate setting over Bluetooth LE alone

  h.posted_link_states();
  h.controller->set_ble_connected(false);
  EXPECT_FALSE(h.ble.registered);
  EXPECT_EQ(h.ble.vid_fragment, "");
  EXPECT_EQ(h.links.any_link, 0);
  EXPECT_EQ(h.posted_link_states(), 1);

  // The cable no longer counts for the worker either.
  h.controller->request_apply(0, 0);
  h.controller->close_links();
  EXPECT_EQ(h.applies, 0);
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
