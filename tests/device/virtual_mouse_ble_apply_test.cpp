// Whole applies over Bluetooth LE: the report sender writes through the real transport
// and D-Bus GATT client to a fake BlueZ on a private bus, and every write the fake
// answers is handed, in order, to the virtual mouse's write characteristic. The mouse's
// notifications travel back through the fake as property changes of the event
// characteristic. Pauses go to a recording clock.

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/ble_gatt_bluez.h"
#include "device/ble_transport.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "protocol/function_link_endpoints.h"
#include "protocol/report.h"
#include "protocol/report_sender.h"
#include "protocol/settings_applier.h"
#include "tests/device/fake_bluez_fixture.h"
#include "tests/protocol/recording_apply_host.h"
#include "tests/protocol/recording_clock.h"
#include "virtual_mouse_profile.h"

namespace norvane {
namespace {

using test::FakeBluezMouse;
using Bytes = std::vector<uint8_t>;

// The macro slots used below and the chunks their macros take.
constexpr int kLongMacroSlot = 1;
constexpr int kLongMacroChunks = 3;
constexpr int kMacroSlots[] = {kLongMacroSlot, 2, 6};
constexpr int kMacroChunks = kLongMacroChunks + 1 + 1;

using test::macro_event;

// Every sent setting away from its default, a shortcut with three modifiers and macros
// on three buttons; slot 1's takes three chunks. Delays are ones the entries carry
// exactly (at least 2 ms; over 127 ms, at least 2 past the hundred).
std::unique_ptr<ProfileRecord> busy_profile() {
  std::vector<MacroEvent> long_macro;
  for (int i = 0; i < 20; ++i) {
    const uint8_t key = static_cast<uint8_t>(4 + i);
    const uint16_t move_delay = static_cast<uint16_t>(i % 3 == 0 ? 100 * (i + 1) + 2 + i : 20 + i);
    long_macro.push_back(macro_event(kKindPress, key, static_cast<uint16_t>(3 + i)));
    long_macro.push_back(macro_event(kKindMove, 0, move_delay, 37 * i - 300, 1000 - 97 * i));
    long_macro.push_back(macro_event(kKindRelease, key, 127));
  }
  return test::busy_profile({
      .dpi = {3, 24, 50, 100, 200, 300, 444, 519},
      .dpi_enabled = {1, 1, 0, 1, 1, 1, 0, 1},
      .dpi_color_first = 0x102030u,
      .dpi_color_step = 0x0F1E2Du,
      .current_dpi_level = 5,
      .light_brightness = 2,
      .breath_speed = 3,
      .sleep_timer = 0x3A,
      .light_off_timer = 9,
      .key_debounce = 12,
      .light_color = 0x65B2E1,
      .polling_rate = 0,
      .polling_rate_hs = 4,
      .functions = {2, 0, 0, 65, 0, 44, 0, 14, 88, 55, 23, 71, 9, 19, 82, 11, 3, 0},
      .shortcut = {.button = 4, .modifiers = kModCtrl | kModAlt | kModShift, .key = 23},  // Ctrl+Alt+Shift+T
      .macros = {{.button = kLongMacroSlot, .events = long_macro, .mode = 1, .repeat = 4},
                 {.button = 2,
                  .events = {macro_event(kKindPress, kCodeRightButton, 60), macro_event(kKindMove, 0, 1999, -5, 7),
                             macro_event(kKindRelease, kCodeRightButton, 2)},
                  .mode = 1,
                  .repeat = 0},
                 {.button = 6,
                  .events = {macro_event(kKindPress, 0xE0, 30), macro_event(kKindPress, 6, 130),
                             macro_event(kKindRelease, 6, 40), macro_event(kKindRelease, 0xE0, 2)},
                  .mode = 2,
                  .repeat = 9}},
  });
}

std::optional<Bytes> bytes_from_hex(const std::string& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  Bytes bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    try {
      size_t used = 0;
      const int value = std::stoi(hex.substr(i, 2), &used, 16);
      if (used != 2) return std::nullopt;
      bytes.push_back(static_cast<uint8_t>(value));
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  return bytes;
}

// The radio between the fake BlueZ and the virtual mouse: the fake appends every write
// it answers to a file, one line of hex each, before its answer goes out; forward()
// hands the lines added since the last call to the mouse, in file order. Any thread.
class WriteBridge {
 public:
  explicit WriteBridge(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // Returns how many writes went to the mouse.
  int forward() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::ifstream in(path_, std::ios::binary);
    if (!in) return 0;  // nothing written yet
    in.seekg(static_cast<std::streamoff>(offset_));
    int forwarded = 0;
    std::string line;
    // A last line without its newline is still being written: it waits for the next call.
    while (std::getline(in, line) && !in.eof()) {
      offset_ += line.size() + 1;
      const std::optional<Bytes> frame = bytes_from_hex(line);
      if (!frame || frame->empty()) {
        ADD_FAILURE() << "unreadable write in the log: " << line;
        continue;
      }
      frames_.push_back(*frame);
      results_.push_back(vm_ble_write(frame->data(), static_cast<int>(frame->size())));
      ++forwarded;
    }
    return forwarded;
  }

  std::vector<Bytes> frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  std::vector<int> results() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return results_;
  }

 private:
  const std::string path_;
  mutable std::mutex mutex_;
  size_t offset_ = 0;
  std::vector<Bytes> frames_;
  std::vector<int> results_;  // vm_ble_write's answers
};

class VirtualMouseBleApplyTest : public test::FakeBluezFixture {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_battery_period(0);
    vm_set_links(0);
    vm_reset();
    vm_set_ble_listener(&VirtualMouseBleApplyTest::on_mouse_notification, nullptr, this);

    profiles.profiles.push_back(busy_profile());
    profiles.select_current_unlocked();
    profiles.send_all = true;
    links.mouse_sleeping = 0;

    ASSERT_TRUE(log_dir_.isValid());
    bridge_ = std::make_unique<WriteBridge>(log_dir_.filePath(QStringLiteral("writes.hex")).toStdString());

    ASSERT_NO_FATAL_FAILURE(FakeBluezFixture::SetUp());
    make_transport();
  }

  void TearDown() override {
    vm_set_ble_listener(nullptr, nullptr, nullptr);
    FakeBluezFixture::TearDown();
    vm_set_links(0);
  }

  // The mouse connected over Bluetooth LE only: plugged into the virtual mouse, its
  // objects on the fake bus with writes logged for the bridge, the transport's link up
  // and registered for notifications.
  void connect_mouse() {
    vm_set_links(VM_LINK_BIT(VM_LINK_BLE));
    mouse_ = fake_.add_mouse();
    const QJsonObject logged = fake_.command({{"op", "log_writes"},
                                              {"path", mouse_.report},
                                              {"file", QString::fromStdString(bridge_->path())}});
    ASSERT_FALSE(logged.contains(QStringLiteral("error"))) << logged.value("error").toString().toStdString();

    link_up(*transport_);
    transport_->ble_register_notifications();
    ASSERT_TRUE(transport_->has_registration());
    links.ble_present = 1;
  }

  // Runs the apply on its own thread, as the device worker does.
  ApplyOutcome apply_on_worker() {
    ApplyOutcome outcome = ApplyOutcome::no_profile;
    std::thread worker([&] { outcome = applier.apply_settings(); });
    worker.join();
    return outcome;
  }

  // The mouse's BLE answers, from whichever thread made it answer.
  static void on_mouse_notification(void* context, const uint8_t* report, int length) {
    auto* self = static_cast<VirtualMouseBleApplyTest*>(context);
    std::lock_guard<std::mutex> lock(self->notifications_mutex_);
    self->notifications_.emplace_back(report, report + length);
  }

  // Hands the mouse's notifications to the fake BlueZ, which sends them to the program
  // as changes of the event characteristic's value. UI thread (the fake's helper lives
  // there). Returns what was handed on.
  std::vector<Bytes> forward_notifications() {
    std::vector<Bytes> pending;
    {
      std::lock_guard<std::mutex> lock(notifications_mutex_);
      pending.swap(notifications_);
    }
    for (const Bytes& n : pending) {
      fake_.notify(mouse_.event, QByteArray(reinterpret_cast<const char*>(n.data()), static_cast<qsizetype>(n.size())));
    }
    return pending;
  }

  // The bytes of every WriteValue the fake BlueZ got on the report characteristic.
  std::vector<Bytes> writes_on_the_bus() {
    std::vector<Bytes> writes;
    const QJsonArray calls = fake_.calls(mouse_.report, QStringLiteral("WriteValue"));
    for (const QJsonValue& call : calls) {
      Bytes bytes;
      for (const QJsonValue& b : call.toArray().at(0).toArray()) bytes.push_back(static_cast<uint8_t>(b.toInt()));
      writes.push_back(bytes);
    }
    return writes;
  }

  // The mouse holds everything the profile sends over Bluetooth LE; its polling rates
  // are still `before`'s.
  void expect_mouse_holds(const ProfileRecord& p, const VmMouseState& before) {
    VmMouseState s{};
    vm_get_state(&s);
    test::expect_mouse_holds_settings(s, p);

    // The polling rate is the mouse's own over Bluetooth LE.
    EXPECT_EQ(s.polling_rate, before.polling_rate);
    EXPECT_EQ(s.polling_rate_hs, before.polling_rate_hs);
    EXPECT_EQ(s.accepted_rate, 0u);

    EXPECT_EQ(s.accepted_opener, 1u);
    EXPECT_EQ(s.accepted_dpi, 1u);
    EXPECT_EQ(s.accepted_light, 1u);
    EXPECT_EQ(s.accepted_buttons, 1u);
    EXPECT_EQ(s.accepted_macro_chunks, static_cast<uint32_t>(kMacroChunks));

    for (int k : kMacroSlots) {
      ASSERT_NO_FATAL_FAILURE(test::expect_mouse_holds_macro(p, k, k == kLongMacroSlot ? kLongMacroChunks : 1));
    }

    VmCounters counters{};
    vm_get_counters(&counters);
    EXPECT_EQ(counters.rejected_total, 0u);
    EXPECT_EQ(counters.ignored_asleep, 0u);
  }

  QTemporaryDir log_dir_;
  std::unique_ptr<WriteBridge> bridge_;
  FakeBluezMouse mouse_;
  std::mutex notifications_mutex_;
  std::vector<Bytes> notifications_;

  LinkState links;
  // No library link: only the transport. What the fake BlueZ took reaches the mouse
  // before the next report goes out, as over the air.
  FunctionLinkEndpoints endpoints{nullptr, nullptr, nullptr, [this](std::span<const uint8_t> b) {
                                    const int result = transport_->ble_write(b);
                                    bridge_->forward();
                                    return result;
                                  }};
  test::RecordingClock clock;
  ReportSender sender{links, endpoints, clock};
  ProfileState profiles;
  test::RecordingApplyHost host;
  SettingsApplier applier{profiles, links, sender, clock, host};
};

TEST_F(VirtualMouseBleApplyTest, FullApplyThroughBluezReachesTheMouse) {
  connect_mouse();
  VmMouseState before{};
  vm_get_state(&before);
  const ProfileRecord& profile = *profiles.current_profile;
  // Otherwise an untouched polling rate would prove nothing.
  ASSERT_NE(before.polling_rate, profile.polling_rate);
  ASSERT_NE(before.polling_rate_hs, profile.polling_rate_hs);

  ASSERT_EQ(apply_on_worker(), ApplyOutcome::applied);
  EXPECT_EQ(bridge_->forward(), 0);  // every write reached the mouse during the apply

  // Over the bus: the opener, the DPI, lighting and button reports and the macro
  // chunks, each whole, never the polling rate.
  const std::vector<Bytes> writes = writes_on_the_bus();
  std::vector<uint8_t> commands;
  for (const Bytes& w : writes) {
    ASSERT_GE(w.size(), 2u);
    EXPECT_EQ(w[1], w.size()) << "command " << int{w[0]};
    commands.push_back(w[0]);
  }
  std::vector<uint8_t> expected_commands = {kCmdFullSendOpener, kCmdDpi, kCmdLight, kCmdButtonMapping};
  expected_commands.insert(expected_commands.end(), kMacroChunks, kCmdMacroChunk);
  EXPECT_EQ(commands, expected_commands);
  EXPECT_THAT(commands, ::testing::Not(::testing::Contains(kCmdPollingRate)));

  // The mouse got exactly those writes, in order, and took each.
  EXPECT_EQ(bridge_->frames(), writes);
  EXPECT_EQ(bridge_->results(), std::vector<int>(writes.size(), 1));
  expect_mouse_holds(profile, before);

  // Every pause went to the clock: one after each report (the polling rate's too),
  // and a further one after each macro chunk.
  std::vector<int> pauses(5, kPauseAfterReportMs);
  for (int i = 0; i < kMacroChunks; ++i) {
    pauses.push_back(kPauseAfterReportMs);
    pauses.push_back(kPauseAfterMacroChunkMs);
  }
  EXPECT_EQ(clock.pauses, pauses);
  EXPECT_EQ(host.saves(), 1u);

  // The applied level is the mouse's: its DPI button moves on to the next enabled
  // level (0-based 7) and says so over the same link.
  vm_press_dpi_button();
  EXPECT_THAT(forward_notifications(), ::testing::ElementsAre(Bytes{0x09, 0x10, 0x08, 0x00}));
  ASSERT_TRUE(wait_for_events(1));
  EXPECT_EQ(events_[0].code, 0x1009);
  EXPECT_EQ(events_[0].value, 0x0008);
  EXPECT_TRUE(events_[0].on_ui_thread);
}

TEST_F(VirtualMouseBleApplyTest, MouseNotificationReachesTheSinkOnTheUiThread) {
  connect_mouse();
  // Factory settings: level 2 of 4 (1-based) is current, so the DPI button selects 3.
  vm_press_dpi_button();
  EXPECT_THAT(forward_notifications(), ::testing::ElementsAre(Bytes{0x09, 0x10, 0x03, 0x00}));
  ASSERT_TRUE(wait_for_events(1));
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].code, 0x1009);
  EXPECT_EQ(events_[0].value, 0x0003);
  EXPECT_TRUE(events_[0].on_ui_thread);
}

}  // namespace
}  // namespace norvane
