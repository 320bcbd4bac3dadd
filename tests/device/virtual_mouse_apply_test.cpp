// Whole applies through the real driver libraries into the virtual mouse: the loader
// opens the virtual mouse's three drop-in libraries, the report sender writes through
// them, and the mouse's decoded state and macro memory are compared with the profile.
// Pauses go to a recording clock, so nothing sleeps.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/messages.h"
#include "device/driver_library.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "protocol/dirty_sections.h"
#include "protocol/function_link_endpoints.h"
#include "protocol/report_sender.h"
#include "protocol/section_delivery.h"
#include "protocol/settings_applier.h"
#include "protocol/settings_reports.h"
#include "tests/protocol/recording_apply_host.h"
#include "tests/protocol/recording_clock.h"
#include "virtual_mouse_profile.h"

namespace norvane {
namespace {

using test::macro_event;

// Every sent setting away from its default, a shortcut and three macros (slot 0's needs
// two chunks). Delays are ones the entries carry exactly (at least 2 ms; over 127 ms,
// at least 2 past the hundred).
std::unique_ptr<ProfileRecord> busy_profile() {
  std::vector<MacroEvent> long_macro;
  for (int i = 0; i < 30; ++i) {
    long_macro.push_back(macro_event(kKindPress, static_cast<uint8_t>(4 + i), static_cast<uint16_t>(2 + i)));
    long_macro.push_back(macro_event(kKindRelease, static_cast<uint8_t>(4 + i), static_cast<uint16_t>(100 + i)));
  }
  return test::busy_profile({
      .dpi = {2, 20, 45, 90, 181, 333, 480, 520},
      .dpi_enabled = {1, 0, 1, 1, 1, 1, 1, 1},
      .dpi_color_first = 0x0A0B0Cu,
      .dpi_color_step = 0x112233u,
      .current_dpi_level = 4,
      .light_brightness = 3,
      .breath_speed = 2,
      .sleep_timer = 0x25,
      .light_off_timer = 7,
      .key_debounce = 6,
      .light_color = 0x123456,
      .polling_rate = 1,
      .polling_rate_hs = 2,
      .functions = {0, 0, 0, 65, 22, 81, 7, 0, 42, 13, 88, 0, 54, 115, 9, 10, 12, 11},
      .shortcut = {.button = 2, .modifiers = kModCtrl | kModShift, .key = 29},  // Ctrl+Shift+Z
      .macros = {{.button = 0, .events = long_macro, .mode = 1, .repeat = 3},
                 {.button = 1,
                  .events = {macro_event(kKindMove, 0, 5, 300, -1), macro_event(kKindPress, kCodeLeftButton, 250),
                             macro_event(kKindMove, 0, 1203, -32768, 32767),
                             macro_event(kKindRelease, kCodeLeftButton, 2)},
                  .mode = 2,
                  .repeat = 0},
                 {.button = 7,
                  .events = {macro_event(kKindPress, 0xE1, 40), macro_event(kKindRelease, 0xE1, 40)},
                  .mode = 0,
                  .repeat = 255}},
  });
}

// The three library links opened as the program opens them, the report sender writing
// through them, and the 2.4 GHz acknowledgement taken from the receiver's event messages.
class VirtualMouseApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_battery_period(0);
    vm_set_links(0);
    vm_reset();
    profiles.profiles.push_back(busy_profile());
    profiles.select_current_unlocked();
    profiles.send_all = true;
    links.mouse_sleeping = 0;
  }

  void TearDown() override {
    for (DriverLibrary* library : {&libraries.wired, &libraries.wireless, &libraries.wireless_8k}) {
      library->close_report_device();
      library->close_feature_device();
      library->close_dev_monitor();
    }
    libraries.unload_all();
    vm_set_links(0);
  }

  // Plugs the links of `vm_links` and opens them; the mouse counts as heard through both
  // receivers.
  void connect(uint32_t vm_links) {
    vm_set_links(vm_links);
    const struct {
      DriverLibrary& library;
      int product_id;
      uint32_t event_message, link_message;
      int vm_link;
      std::atomic<int32_t>& state;
    } library_links[] = {
        {libraries.wired, 0x2127, UM_WIRED_EVENT, UM_WIRED_LINK, VM_LINK_CABLE, links.wired_state},
        {libraries.wireless, 0xFA60, UM_WIRELESS_EVENT, UM_WIRELESS_LINK, VM_LINK_24G, links.wireless_state},
        {libraries.wireless_8k, 0xFA65, UM_WIRELESS_8K_EVENT, UM_WIRELESS_8K_LINK, VM_LINK_8K,
         links.wireless_8k_state}};
    for (const auto& l : library_links) {
      ASSERT_TRUE(l.library.loaded()) << l.library.load_error();
      l.library.set_vidpid(0x1D57, l.product_id);
      l.library.open_dev_monitor(&post_target, l.event_message, l.link_message);
      int open = l.library.open_feature_device();
      if (&l.library == &libraries.wireless_8k) open = l.library.open_report_device();
      l.state = open != 0 ? kLinkPresent : kLinkAbsent;
      ASSERT_EQ(open != 0, (vm_links & VM_LINK_BIT(l.vm_link)) != 0);
    }
    links.wireless_online = 1;
    links.wireless_8k_online = 1;
    links.ble_present = (vm_links & VM_LINK_BIT(VM_LINK_BLE)) != 0 ? 1 : 0;
  }

  // The receiver's event report 0x09, 0x50, status: status 0 acknowledges the last report.
  static void post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message != UM_WIRELESS_EVENT) return;
    auto* self = static_cast<VirtualMouseApplyTest*>(context);
    const uint8_t byte0 = wparam & 0xFF;
    const uint8_t byte1 = (wparam >> 8) & 0xFF;
    const uint8_t byte2 = lparam & 0xFF;
    if (byte0 == 0x09 && byte1 == 0x50) self->links.wireless_ack = byte2 == 0 ? 1 : 0;
  }

  std::vector<VmWireEntry> frames_to_mouse() const {
    std::vector<VmWireEntry> frames;
    for (int i = 0; i < vm_wire_log_count(); ++i) {
      VmWireEntry e{};
      if (vm_wire_log_get(i, &e) && e.direction == VM_TO_MOUSE) frames.push_back(e);
    }
    return frames;
  }

  void expect_mouse_holds(const ProfileRecord& p, bool rate_sent) {
    VmMouseState s{};
    vm_get_state(&s);
    test::expect_mouse_holds_settings(s, p);
    if (rate_sent) {
      EXPECT_EQ(s.polling_rate, p.polling_rate);
      EXPECT_EQ(s.polling_rate_hs, p.polling_rate_hs);
    } else {
      EXPECT_EQ(s.accepted_rate, 0u);
    }
    EXPECT_EQ(s.accepted_opener, 1u);
    EXPECT_EQ(s.accepted_macro_chunks, 4u);

    for (int k : {0, 1, 7}) ASSERT_NO_FATAL_FAILURE(test::expect_mouse_holds_macro(p, k));

    VmCounters counters{};
    vm_get_counters(&counters);
    EXPECT_EQ(counters.rejected_total, 0u);
  }

  DriverLibraries libraries{NORVANE_DRIVER_DIR};
  LinkState links;
  std::atomic<int> wired_set_features{0};
  std::atomic<int> wireless_set_features{0};
  // Called after each transfer with the number of transfers on that link so far.
  std::function<void(int)> after_wired;
  std::function<void(int)> after_wireless;
  FunctionLinkEndpoints endpoints{
      [this](std::span<const uint8_t> b) {
        const int result = libraries.wired.set_feature(b.data(), static_cast<int>(b.size()));
        if (after_wired) after_wired(++wired_set_features);
        return result;
      },
      [this](std::span<const uint8_t> b) {
        const int result = libraries.wireless.set_feature(b.data(), static_cast<int>(b.size()));
        const int count = ++wireless_set_features;
        if (after_wireless) after_wireless(count);
        return result;
      },
      [this](std::span<const uint8_t> b) { return libraries.wireless_8k.write_usb(b.data(), static_cast<int>(b.size())); },
      [](std::span<const uint8_t> b) { return vm_ble_write(b.data(), static_cast<int>(b.size())); }};
  test::RecordingClock clock;
  ReportSender sender{links, endpoints, clock};
  ProfileState profiles;
  test::RecordingApplyHost host;
  SettingsApplier applier{profiles, links, sender, clock, host};
  NvPostTarget post_target{this, &VirtualMouseApplyTest::post};
};

TEST_F(VirtualMouseApplyTest, FullApplyOverTheCable) {
  connect(VM_LINK_BIT(VM_LINK_CABLE));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  expect_mouse_holds(*profiles.current_profile, true);
}

TEST_F(VirtualMouseApplyTest, FullApplyThroughThe24GHzReceiver) {
  connect(VM_LINK_BIT(VM_LINK_24G));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  expect_mouse_holds(*profiles.current_profile, true);
  // Every report and chunk was acknowledged at once: five reports, four rounds of three parts.
  EXPECT_EQ(wireless_set_features, 5 + 4 * 3);
}

TEST_F(VirtualMouseApplyTest, FullApplyThroughThe8kHzReceiver) {
  connect(VM_LINK_BIT(VM_LINK_8K));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  expect_mouse_holds(*profiles.current_profile, true);
}

// Over Bluetooth LE straight into the mouse's write characteristic (the BlueZ transport
// is not in this path): everything but the polling rate.
TEST_F(VirtualMouseApplyTest, FullApplyOverBluetoothLe) {
  connect(VM_LINK_BIT(VM_LINK_BLE));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  expect_mouse_holds(*profiles.current_profile, false);
}

TEST_F(VirtualMouseApplyTest, CableCarriesEverythingWhenTheReceiverIsUpToo) {
  connect(VM_LINK_BIT(VM_LINK_CABLE) | VM_LINK_BIT(VM_LINK_24G) | VM_LINK_BIT(VM_LINK_8K));
  vm_wire_log_clear();
  applier.apply_settings();
  const auto frames = frames_to_mouse();
  ASSERT_FALSE(frames.empty());
  for (const VmWireEntry& f : frames) EXPECT_EQ(f.link, VM_LINK_CABLE);
  EXPECT_EQ(wireless_set_features, 0);
  expect_mouse_holds(*profiles.current_profile, true);
}

TEST_F(VirtualMouseApplyTest, ReceiverAcknowledgementStopsTheRepeats) {
  connect(VM_LINK_BIT(VM_LINK_24G));
  const Report light = build_light_report(*profiles.current_profile);

  sender.send_report(light.view());
  EXPECT_EQ(wireless_set_features, 1);
  EXPECT_THAT(clock.pauses, ::testing::ElementsAre(500, 1000));

  // Acknowledgements lost: ten attempts, each taken by the mouse, then given up.
  vm_fault_drop_acks(1);
  wireless_set_features = 0;
  clock.pauses.clear();
  EXPECT_NE(sender.send_report(light.view()), 0);
  EXPECT_EQ(wireless_set_features, 10);
  EXPECT_EQ(clock.total_ms(), 10 * 500 + 1000);
  VmMouseState s{};
  vm_get_state(&s);
  EXPECT_EQ(s.accepted_light, 11u);

  // One lost acknowledgement: the second attempt is acknowledged.
  vm_fault_clear();
  vm_fault_drop_next_acks(1);
  wireless_set_features = 0;
  sender.send_report(light.view());
  EXPECT_EQ(wireless_set_features, 2);
}

// Edits to the DPI levels and the lighting, made after the whole profile reached the mouse.
void edit_dpi_and_light(ProfileRecord& record) {
  record.dpi_value[0] = 77;
  record.light_brightness = 6;
}

bool nothing_pending(const ProfileState& profiles) {
  return !compare_sections(*profiles.current_profile, *profiles.last_applied).any() && !profiles.send_all;
}

// Asleep, the mouse takes nothing: on the cable the transfer fails, behind the receiver
// no acknowledgement comes. The edits stay pending and arrive once it is awake.
class SleepingMouseApplyTest : public VirtualMouseApplyTest, public ::testing::WithParamInterface<int> {};

TEST_P(SleepingMouseApplyTest, EditsMadeWhileTheMouseSleepsArriveOnceItWakes) {
  connect(VM_LINK_BIT(GetParam()));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  const int32_t brightness_before = profiles.last_applied->light_brightness;

  vm_sleep();
  edit_dpi_and_light(*profiles.current_profile);
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::not_delivered);
  const DirtyFlags pending = compare_sections(*profiles.current_profile, *profiles.last_applied);
  EXPECT_TRUE(pending.dpi && pending.light);
  EXPECT_EQ(profiles.last_applied->light_brightness, brightness_before);
  EXPECT_EQ(pending_changes(profiles), 2);

  vm_wake();
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_TRUE(nothing_pending(profiles));
  VmMouseState s{};
  vm_get_state(&s);
  test::expect_mouse_holds_settings(s, *profiles.current_profile);
}

INSTANTIATE_TEST_SUITE_P(CableAndReceiver, SleepingMouseApplyTest, ::testing::Values(VM_LINK_CABLE, VM_LINK_24G));

TEST_F(VirtualMouseApplyTest, AcknowledgementsLostThenBackDeliverThePendingSections) {
  connect(VM_LINK_BIT(VM_LINK_24G));
  ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);

  vm_fault_drop_acks(1);
  edit_dpi_and_light(*profiles.current_profile);
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::not_delivered);
  EXPECT_EQ(pending_changes(profiles), 2) << "the mouse took the reports, but nothing said so";

  vm_fault_clear();
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_TRUE(nothing_pending(profiles));
  VmMouseState s{};
  vm_get_state(&s);
  test::expect_mouse_holds_settings(s, *profiles.current_profile);
}

// The cable pulled after three of the full send's reports: what arrived counts, the
// rest goes once the cable is back, and the opener is not sent a second time.
TEST_F(VirtualMouseApplyTest, CablePulledMidApplySendsTheRestWhenItIsBack) {
  connect(VM_LINK_BIT(VM_LINK_CABLE));
  after_wired = [](int transfers) {
    if (transfers == 3) vm_unplug(VM_LINK_CABLE);
  };
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::not_delivered);
  EXPECT_FALSE(applier.last_delivery().full_send_owed());
  const DirtyFlags left = applier.last_delivery().undelivered();
  EXPECT_FALSE(left.dpi || left.light);
  EXPECT_TRUE(left.rate && left.buttons && left.macro[0] && left.macro[1] && left.macro[7]);
  EXPECT_EQ(pending_changes(profiles), 5) << "rate, buttons and three macros";

  after_wired = nullptr;
  vm_plug(VM_LINK_CABLE);
  ASSERT_NE(libraries.wired.open_feature_device(), 0);
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_TRUE(nothing_pending(profiles));
  expect_mouse_holds(*profiles.current_profile, true);
}

// Closing during a 2.4 GHz macro upload whose acknowledgements are lost: the upload
// would go on for ten rounds of three one-second parts; it ends at the next part.
TEST_F(VirtualMouseApplyTest, ShutDownDuringAMacroUploadEndsWithinASecond) {
  connect(VM_LINK_BIT(VM_LINK_24G));
  bool closing = false;
  int64_t closed_at = -1;
  applier.set_stop_check([&] { return closing; });
  sender.set_stop_check([&] { return closing; });
  after_wireless = [&](int transfers) {
    if (transfers == 5) vm_fault_drop_acks(1);  // the five reports went through
    if (transfers == 5 + 3 * 4 + 1) {           // the fifth round of the first chunk
      closing = true;
      closed_at = clock.now_ms();
    }
  };
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::stopped);
  ASSERT_GE(closed_at, 0);
  EXPECT_LE(clock.now_ms() - closed_at, 1000);
  EXPECT_EQ(host.saves(), 1u) << "the store keeps what the user set";
  const DirtyFlags left = applier.last_delivery().undelivered();
  EXPECT_FALSE(left.dpi || left.light || left.rate || left.buttons);
  EXPECT_TRUE(left.macro[0] && left.macro[1] && left.macro[7]);

  // The next run sends the interrupted macros.
  closing = false;
  after_wireless = nullptr;
  vm_fault_clear();
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_TRUE(nothing_pending(profiles));
  VmMouseState s{};
  vm_get_state(&s);
  test::expect_mouse_holds_settings(s, *profiles.current_profile);
  for (int k : {0, 1, 7}) EXPECT_NO_FATAL_FAILURE(test::expect_mouse_holds_macro(*profiles.current_profile, k));
}

}  // namespace
}  // namespace norvane
