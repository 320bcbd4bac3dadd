// The link side against the virtual mouse: its three driver libraries loaded by the
// real loader, their messages queued, folded and handled as the main window does,
// main-window timers on fake time. The virtual mouse's Bluetooth LE connection changes
// and notifications are relayed to the UI thread as the udev monitor and the transport
// relay them.

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <deque>
#include <mutex>

#include "device/driver_library_ports.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "protocol/dirty_sections.h"
#include "settings/page_controls.h"
#include "tests/settings/link_harness.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

// What the virtual mouse says over Bluetooth LE, held until the UI thread takes it.
class BleRelay {
 public:
  void attach() { vm_set_ble_listener(&BleRelay::notify, &BleRelay::connection, this); }
  void detach() { vm_set_ble_listener(nullptr, nullptr, nullptr); }

  void deliver(LinkController& controller) {
    std::deque<Item> items;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      items.swap(items_);
    }
    for (const Item& item : items) {
      if (item.connection) {
        // The mouse's Bluetooth HID device appearing or leaving, as udev reports it.
        const DeviceChange change{item.connected ? DeviceChangeKind::arrival : DeviceChangeKind::removal,
                                  HidIdentity{kHidBusBluetooth, kBleVendorId, kBleProductId}, "virtual mouse"};
        controller.on_device_change(change);
      } else {
        controller.on_device_event(EventSource::ble, static_cast<uint16_t>(item.bytes[0] | item.bytes[1] << 8),
                                   static_cast<uint16_t>(item.bytes[2] | item.bytes[3] << 8));
      }
    }
  }

 private:
  struct Item {
    bool connection = false;
    bool connected = false;
    std::array<uint8_t, 4> bytes{};
  };
  static void notify(void* context, const uint8_t* report, int length) {
    if (length < 4) return;
    Item item;
    std::copy(report, report + 4, item.bytes.begin());
    static_cast<BleRelay*>(context)->push(item);
  }
  static void connection(void* context, int connected) {
    static_cast<BleRelay*>(context)->push(Item{true, connected != 0, {}});
  }
  void push(const Item& item) {
    std::lock_guard<std::mutex> lock(mutex_);
    items_.push_back(item);
  }

  std::mutex mutex_;
  std::deque<Item> items_;
};

class VirtualMouseLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_battery_period(0);
    vm_set_links(0);
    vm_reset();
    relay.attach();
  }
  void TearDown() override {
    h.controller->close_links();
    relay.detach();
    vm_set_links(0);
  }

  void start(uint32_t links) {
    vm_set_links(links);
    h.probe.present = vm_plugged(VM_LINK_BLE) != 0;  // the hidapi test of a real machine
    h.start();
  }
  // Lets the UI thread handle everything the mouse said.
  void settle() {
    h.pump();
    relay.deliver(*h.controller);
  }
  // The outcome the virtual mouse logged for one junk transfer on the cable.
  int cable_write_outcome() {
    const uint8_t junk[8] = {0x55};
    vm_wire_log_clear();
    drivers.set_feature(LibraryLink::wired, junk);
    VmWireEntry entry{};
    return vm_wire_log_get(0, &entry) ? entry.outcome : -1;
  }

  DriverLibraryPorts drivers{NORVANE_DRIVER_DIR};
  LinkHarness h{drivers};
  BleRelay relay;
};

TEST_F(VirtualMouseLinksTest, StartWithOnlyTheCable) {
  start(VM_LINK_BIT(VM_LINK_CABLE));
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_FALSE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.view.text(kPowerLabel).text, "charging_text");
  EXPECT_TRUE(h.view.text(kPowerLabel).language_key);
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.posted_link_states(), 1);
  EXPECT_FALSE(h.view.timer_running(TIMER_CHARGING));
  EXPECT_EQ(cable_write_outcome(), VM_FRAME_REJECTED);  // open, and the junk refused
}

// Through the real loader and the libraries' optional Get_OpenError.
TEST_F(VirtualMouseLinksTest, ACableThatMayNotBeOpenedIsNotPresentAndSaysWhy) {
  vm_fault_refuse_open(VM_LINK_CABLE, EACCES);
  start(VM_LINK_BIT(VM_LINK_CABLE));
  EXPECT_EQ(h.links.wired_state, kLinkAbsent);
  EXPECT_FALSE(h.view.visible(kWiredIcon));
  EXPECT_EQ(h.controller->open_error(LibraryLink::wired), EACCES);
  EXPECT_EQ(cable_write_outcome(), VM_FRAME_NOT_OPEN);

  // Replugged once it may be opened: present.
  vm_fault_refuse_open(VM_LINK_CABLE, 0);
  vm_unplug(VM_LINK_CABLE);
  vm_plug(VM_LINK_CABLE);
  h.advance(1000);
  EXPECT_EQ(h.links.wired_state, kLinkPresent);
  EXPECT_EQ(h.controller->open_error(LibraryLink::wired), 0);
}

TEST_F(VirtualMouseLinksTest, ReceiverWithTheMouseAsleep) {
  vm_sleep();
  start(VM_LINK_BIT(VM_LINK_24G));
  EXPECT_TRUE(h.view.visible(kWirelessIcon));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  h.advance(6000);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.posted_link_states(), 1);
}

TEST_F(VirtualMouseLinksTest, PluggingAndUnplugging) {
  start(0);
  EXPECT_EQ(h.links.any_link, 0);
  h.posted_link_states();

  vm_plug(VM_LINK_CABLE);
  settle();
  EXPECT_EQ(cable_write_outcome(), VM_FRAME_NOT_OPEN);  // not reopened before the wait
  h.advance(1000);
  EXPECT_EQ(cable_write_outcome(), VM_FRAME_REJECTED);
  EXPECT_EQ(h.links.wired_state, kLinkPresent);
  EXPECT_EQ(h.links.any_link, 1);
  EXPECT_EQ(h.posted_link_states(), 1);
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_TRUE(h.view.timer_running(TIMER_CHARGING));

  // The same arrival again (a second device node of the cable): nothing changes.
  NvPostTarget target = h.queue.target();
  target.post(target.context, UM_WIRED_LINK, 1, 0);
  h.advance(2000);
  EXPECT_EQ(h.posted_link_states(), 0);

  vm_plug(VM_LINK_24G);
  h.advance(1000);
  EXPECT_EQ(h.links.wireless_state, kLinkPresent);
  vm_unplug(VM_LINK_24G);
  settle();
  EXPECT_EQ(h.links.wireless_state, kLinkGone);
  EXPECT_EQ(h.posted_link_states(), 0);

  vm_unplug(VM_LINK_CABLE);
  settle();
  EXPECT_EQ(h.links.any_link, 0);
  EXPECT_EQ(h.posted_link_states(), 1);
  EXPECT_EQ(h.links.mouse_sleeping, 1);
  EXPECT_TRUE(h.view.visible(kSleepLabel));
  EXPECT_FALSE(h.view.visible(kWiredIcon));
  EXPECT_EQ(h.view.text(kPowerLabel).text, "");
  EXPECT_FALSE(h.view.text(kPowerLabel).language_key);
  EXPECT_FALSE(h.view.timer_running(TIMER_CHARGING));
}

TEST_F(VirtualMouseLinksTest, DpiLevelChangedOnTheMouse) {
  start(VM_LINK_BIT(VM_LINK_24G));
  h.record().dpi_value[2] = 64;
  h.record().light_brightness = 3;  // edits not applied yet: they stay pending

  vm_send_event(0x10, 3, 0);
  settle();
  EXPECT_TRUE(h.view.checked(numbered(kDpiLevelOptionPrefix, 3)));
  EXPECT_EQ(h.record().current_dpi_level, 2);
  const auto popups = h.view.take_posted(UM_DPI_POPUP);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].wparam, 0u);
  EXPECT_EQ(popups[0].lparam, 64);
  EXPECT_EQ(h.hooks.saves, 1);
  // The level the mouse chose is what it holds; the edits still differ from it.
  EXPECT_EQ(h.profiles.last_applied->current_dpi_level, 2);
  EXPECT_EQ(h.profiles.last_applied->dpi_value[2], 32);
  EXPECT_EQ(h.profiles.last_applied->light_brightness, 8);
  const DirtyFlags pending = compare_sections(h.record(), *h.profiles.last_applied);
  EXPECT_TRUE(pending.dpi);
  EXPECT_TRUE(pending.light);
  EXPECT_FALSE(pending.rate || pending.buttons || pending.wakeup);

  vm_send_event(0x10, 0, 0);
  vm_send_event(0x10, 9, 0);
  settle();
  EXPECT_EQ(h.record().current_dpi_level, 2);
  EXPECT_EQ(h.hooks.saves, 1);

  vm_press_dpi_button();
  settle();
  VmMouseState state{};
  vm_get_state(&state);
  EXPECT_EQ(h.record().current_dpi_level, state.current_level);
}

TEST_F(VirtualMouseLinksTest, PollingRateTakesEachValidHalfForItsSource) {
  start(VM_LINK_BIT(VM_LINK_24G));
  vm_change_polling_rate(1, 2);
  settle();
  EXPECT_EQ(h.record().polling_rate, 1);
  EXPECT_EQ(h.record().polling_rate_hs, 2);
  EXPECT_TRUE(h.view.checked(numbered(kRateOptionPrefix, 2)));
  EXPECT_TRUE(h.view.checked(numbered(kRateHsOptionPrefix, 3)));

  vm_send_event(0x20, 0x84, 0);  // high nibble 8 is no option: only the low half
  vm_send_event(0x20, 0x05, 0);  // neither half: nothing, not even a save
  settle();
  EXPECT_EQ(h.record().polling_rate, 3);
  EXPECT_EQ(h.record().polling_rate_hs, 2);
  EXPECT_EQ(h.hooks.saves, 2);

  vm_plug(VM_LINK_8K);  // the mouse answers through the 8 kHz receiver now
  h.advance(1000);
  vm_send_event(0x20, 0x71, 0);
  settle();
  EXPECT_EQ(h.record().polling_rate, 3);
  EXPECT_EQ(h.record().polling_rate_hs, 6);

  h.controller->on_device_event(EventSource::ble, 0x2009, 0x71);
  EXPECT_EQ(h.record().polling_rate, 0);
  EXPECT_EQ(h.record().polling_rate_hs, 6);
}

TEST_F(VirtualMouseLinksTest, LightingModeAndAcknowledgement) {
  start(VM_LINK_BIT(VM_LINK_24G));
  const int refreshes = h.hooks.lighting_refreshes;
  vm_change_lighting_mode(5);
  settle();
  EXPECT_EQ(h.record().light_mode, 5);
  EXPECT_EQ(h.view.item(kLightCombo), 5);
  EXPECT_EQ(h.hooks.lighting_refreshes, refreshes + 1);
  EXPECT_EQ(h.hooks.saves, 1);
  vm_change_lighting_mode(12);  // no such entry in the list
  settle();
  EXPECT_EQ(h.record().light_mode, 5);
  EXPECT_EQ(h.hooks.saves, 1);

  vm_send_event(0x50, 0x01, 0x00);
  settle();
  EXPECT_EQ(h.links.wireless_ack, 0);
  vm_send_event(0x50, 0x00, 0x01);  // value 0x0100: only the low byte counts, 0 acknowledges
  settle();
  EXPECT_EQ(h.links.wireless_ack, 1);
  EXPECT_EQ(h.hooks.saves, 1);
}

TEST_F(VirtualMouseLinksTest, BatteryThroughAReceiverKeepsItOnline) {
  start(VM_LINK_BIT(VM_LINK_24G));
  h.advance(5000);
  vm_send_battery(0, 57);
  settle();
  EXPECT_EQ(h.view.text(kPowerLabel).text, "57%");
  EXPECT_FALSE(h.view.text(kPowerLabel).language_key);
  EXPECT_EQ(h.view.progress(kPowerProgress), 57);
  EXPECT_TRUE(h.view.visible(kWirelessIcon));
  EXPECT_FALSE(h.view.visible(kSleepLabel));
  EXPECT_EQ(h.links.wireless_online, 1);
  EXPECT_EQ(h.links.mouse_sleeping, 0);

  vm_send_battery(0, 0);
  vm_send_battery(0, 101);
  h.advance(5999);  // the reports restarted the watchdog
  EXPECT_EQ(h.view.text(kPowerLabel).text, "57%");
  EXPECT_EQ(h.links.wireless_online, 1);
  h.advance(1);
  EXPECT_EQ(h.links.wireless_online, 0);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_TRUE(h.view.visible(kSleepLabel));
}

TEST_F(VirtualMouseLinksTest, BatteryWithTheCable) {
  start(VM_LINK_BIT(VM_LINK_24G) | VM_LINK_BIT(VM_LINK_8K));
  vm_send_battery(0, 57);  // through the 8 kHz receiver
  settle();
  h.controller->on_link_value(LibraryLink::wireless, 0x40093900);  // and through the 2.4 GHz one
  ASSERT_EQ(h.links.wireless_online, 1);
  ASSERT_EQ(h.links.wireless_8k_online, 1);

  vm_plug(VM_LINK_CABLE);
  h.advance(1000);
  vm_send_battery(3, 57);  // the mouse now answers over the cable
  settle();
  EXPECT_EQ(h.view.text(kPowerLabel).text, "charging_text");
  EXPECT_TRUE(h.view.text(kPowerLabel).language_key);
  EXPECT_FALSE(h.view.visible(kWirelessIcon));
  EXPECT_EQ(h.links.wireless_online, 0);
  h.advance(51 * kChargingStepMs);
  EXPECT_EQ(h.view.progress(kPowerProgress), 100);  // 0, 2, ... 100, then 0 again
  h.advance(kChargingStepMs);
  EXPECT_EQ(h.view.progress(kPowerProgress), 0);

  vm_send_battery(2, 100);
  settle();
  EXPECT_EQ(h.view.text(kPowerLabel).text, "100%");
  EXPECT_EQ(h.view.progress(kPowerProgress), 100);
  EXPECT_FALSE(h.view.timer_running(TIMER_CHARGING));
  EXPECT_EQ(h.links.wireless_8k_online, 0);
  EXPECT_FALSE(h.view.visible(kWireless8kIcon));
}

TEST_F(VirtualMouseLinksTest, BatteryOverBluetooth) {
  start(VM_LINK_BIT(VM_LINK_BLE));
  EXPECT_EQ(h.links.ble_present, 1);
  EXPECT_TRUE(h.view.visible(kBleIcon));
  vm_send_battery(0, 0);
  settle();
  EXPECT_EQ(h.view.text(kPowerLabel).text, "0%");
  vm_send_battery(0, 101);
  settle();
  EXPECT_EQ(h.view.text(kPowerLabel).text, "0%");
}

TEST_F(VirtualMouseLinksTest, BluetoothConnectionWithTheCablePlugged) {
  start(VM_LINK_BIT(VM_LINK_CABLE));
  vm_plug(VM_LINK_BLE);
  settle();
  EXPECT_EQ(h.links.ble_present, 1);
  EXPECT_EQ(h.links.wired_state, kLinkGone);  // not used for sending any more
  EXPECT_TRUE(h.view.visible(kWiredIcon));
  EXPECT_TRUE(h.view.visible(kBleIcon));
  EXPECT_EQ(h.ble.vid_fragment, "VID&02045E");
  EXPECT_EQ(h.ble.pid_fragment, "PID&0009");
  EXPECT_FALSE(h.view.visible(kRateCheck));  // no rate setting over Bluetooth LE alone
  h.advance(2000);
  EXPECT_EQ(h.ble.registrations, 1);

  vm_unplug(VM_LINK_BLE);
  settle();
  EXPECT_FALSE(h.ble.registered);
  EXPECT_EQ(h.ble.vid_fragment, "");
  EXPECT_EQ(h.links.any_link, 0);
  h.controller->request_apply(0, 0);
  h.controller->close_links();
  EXPECT_EQ(h.applies, 0);
}

TEST_F(VirtualMouseLinksTest, ShutDownLetsTheApplyFinishItsSends) {
  start(VM_LINK_BIT(VM_LINK_CABLE));
  VmCounters before{};
  vm_get_counters(&before);
  std::atomic<bool> entered{false};
  std::atomic<uint32_t> sent{0};
  std::atomic<uint32_t> taken{0};
  h.on_apply = [&] {
    const uint8_t junk[8] = {0x55};
    entered = true;
    entered.notify_one();
    do {
      ++sent;
      drivers.set_feature(LibraryLink::wired, junk);
    } while (!h.controller->apply_stop_requested());
    VmCounters now{};
    vm_get_counters(&now);
    taken = now.frames_received - before.frames_received;
  };
  h.controller->request_apply(0, 0);
  entered.wait(false);
  h.controller->close_links();

  EXPECT_EQ(h.applies, 1);
  EXPECT_GT(sent, 0u);
  EXPECT_EQ(taken, sent);  // every send reached the mouse: no library was released under it
  const uint8_t junk[8] = {0x55};
  EXPECT_EQ(drivers.set_feature(LibraryLink::wired, junk), 0);
}

}  // namespace
}  // namespace norvane::testing
