// The hidapi driver libraries end to end: test builds of hiddriver_2.so,
// hiddriver_1.so and hiddriver_8k.so over a double of hidapi in front of the virtual
// mouse, loaded by the program's loader. The libraries choose their nodes from the
// mouse's report descriptors, frame and pad what they write, and read its events; the
// mouse refuses any transfer its descriptors do not declare. One whole apply per link,
// and the events of every link, are checked against what the mouse decoded.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/messages.h"
#include "device/driver_library.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "protocol/function_link_endpoints.h"
#include "protocol/report_sender.h"
#include "protocol/settings_applier.h"
#include "tests/device/virtual_mouse_profile.h"
#include "tests/drivers/recording_poster.h"
#include "tests/protocol/recording_apply_host.h"

namespace norvane {
namespace {

std::unique_ptr<ProfileRecord> profile_for_every_report() {
  std::vector<MacroEvent> macro;
  for (int i = 0; i < 12; ++i) {
    macro.push_back(test::macro_event(kKindPress, static_cast<uint8_t>(4 + i), static_cast<uint16_t>(3 + i)));
    macro.push_back(test::macro_event(kKindRelease, static_cast<uint8_t>(4 + i), static_cast<uint16_t>(20 + i)));
  }
  return test::busy_profile({
      .dpi = {4, 16, 40, 80, 160, 240, 320, 400},
      .dpi_enabled = {1, 1, 0, 1, 1, 1, 1, 1},
      .dpi_color_first = 0x102030u,
      .dpi_color_step = 0x010203u,
      .current_dpi_level = 3,
      .light_brightness = 4,
      .breath_speed = 3,
      .sleep_timer = 0x13,
      .light_off_timer = 2,
      .key_debounce = 5,
      .light_color = 0x0A0B0C,
      .polling_rate = 2,
      .polling_rate_hs = 1,
      .functions = {0, 0, 0, 65, 22, 81, 7, 0, 42, 13, 88, 0, 54, 115, 9, 10, 12, 11},
      .shortcut = {.button = 2, .modifiers = kModCtrl, .key = 6},
      .macros = {{.button = 1, .events = macro, .mode = 1, .repeat = 2}},
  });
}

// What the libraries post, counted; each pause of the sender first lets the
// libraries' readers pass on every answer the mouse has sent so far, as a real
// pause of half a second or more would.
class Program {
 public:
  NvPostTarget target() { return NvPostTarget{this, &Program::post}; }

  std::vector<PostedMessage> events(uint32_t message) {
    std::lock_guard lock(mutex_);
    std::vector<PostedMessage> found;
    for (const PostedMessage& m : messages_) {
      if (m.message == message) found.push_back(m);
    }
    return found;
  }
  // Waits until as many event messages arrived as the mouse sent answers.
  bool caught_up() {
    VmCounters counters{};
    vm_get_counters(&counters);
    const size_t sent = counters.acks_sent + counters.events_sent;
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return events_ >= sent; });
  }

  std::atomic<int32_t>* wireless_ack = nullptr;

 private:
  static void post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    auto* self = static_cast<Program*>(context);
    // The 2.4 GHz receiver's event 0x09, 0x50, status: status 0 acknowledges.
    if (message == UM_WIRELESS_EVENT && (wparam & 0xFFFF) == 0x5009 && self->wireless_ack != nullptr) {
      *self->wireless_ack = (lparam & 0xFF) == 0 ? 1 : 0;
    }
    std::lock_guard lock(self->mutex_);
    self->messages_.push_back({message, wparam, lparam});
    if (message == UM_WIRED_EVENT || message == UM_WIRELESS_EVENT || message == UM_WIRELESS_8K_EVENT) ++self->events_;
    self->arrived_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<PostedMessage> messages_;
  size_t events_ = 0;
};

class ReaderPacedClock final : public Clock {
 public:
  explicit ReaderPacedClock(Program& program) : program_(program) {}
  void sleep_ms(int ms) override {
    now_ += ms;
    EXPECT_TRUE(program_.caught_up());
  }
  int64_t now_ms() const override { return now_; }

 private:
  Program& program_;
  int64_t now_ = 0;
};

class TraceLines {
 public:
  NvTraceTarget target() { return NvTraceTarget{this, &TraceLines::add}; }
  bool contains(const std::string& part) {
    std::lock_guard lock(mutex_);
    for (const std::string& line : lines_) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

 private:
  static void add(void* context, const char* line) {
    auto* self = static_cast<TraceLines*>(context);
    std::lock_guard lock(self->mutex_);
    self->lines_.emplace_back(line);
  }
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

class HidapiVirtualMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_battery_period(0);
    vm_set_links(0);
    vm_reset();
    profiles.profiles.push_back(profile_for_every_report());
    profiles.select_current_unlocked();
    profiles.send_all = true;
    links.mouse_sleeping = 0;
    program.wireless_ack = &links.wireless_ack;
    const NvTraceTarget trace_target = traces.target();
    for (DriverLibrary* library : all()) {
      ASSERT_TRUE(library->loaded()) << library->load_error();
      library->set_trace_target(&trace_target);
    }
  }

  void TearDown() override {
    for (DriverLibrary* library : all()) {
      library->close_report_device();
      library->close_feature_device();
      library->close_dev_monitor();
      library->set_trace_target(nullptr);
    }
    libraries.unload_all();
    vm_set_links(0);
  }

  std::array<DriverLibrary*, 3> all() { return {&libraries.wired, &libraries.wireless, &libraries.wireless_8k}; }

  // Plugs one link and opens it as the program does at start-up; true when present.
  bool connect(int vm_link) {
    vm_plug(vm_link);
    const struct {
      DriverLibrary& library;
      int product_id;
      uint32_t event_message, link_message;
      std::atomic<int32_t>& state;
    } params[] = {{libraries.wired, 0x2127, UM_WIRED_EVENT, UM_WIRED_LINK, links.wired_state},
                  {libraries.wireless, 0xFA60, UM_WIRELESS_EVENT, UM_WIRELESS_LINK, links.wireless_state},
                  {libraries.wireless_8k, 0xFA65, UM_WIRELESS_8K_EVENT, UM_WIRELESS_8K_LINK, links.wireless_8k_state}};
    const auto& p = params[vm_link];
    NvPostTarget target = program.target();
    p.library.set_vidpid(0x1D57, p.product_id);
    p.library.open_dev_monitor(&target, p.event_message, p.link_message);
    int open = p.library.open_feature_device();
    if (vm_link == VM_LINK_8K) open = p.library.open_report_device();
    p.state = open != 0 ? kLinkPresent : kLinkAbsent;
    links.wireless_online = 1;
    links.wireless_8k_online = 1;
    return open != 0;
  }

  void expect_whole_apply() {
    ASSERT_EQ(applier.apply_settings(), ApplyOutcome::applied);
    VmMouseState s{};
    vm_get_state(&s);
    const ProfileRecord& p = *profiles.current_profile;
    test::expect_mouse_holds_settings(s, p);
    EXPECT_EQ(s.polling_rate, p.polling_rate);
    EXPECT_EQ(s.polling_rate_hs, p.polling_rate_hs);
    EXPECT_EQ(s.accepted_opener, 1u);
    ASSERT_NO_FATAL_FAILURE(test::expect_mouse_holds_macro(p, 1));
    VmCounters counters{};
    vm_get_counters(&counters);
    EXPECT_EQ(counters.rejected_total, 0u);  // every transfer as the descriptors declare it
  }

  // A battery report from the mouse reaches the program as `message`.
  void expect_battery_event(uint32_t message) {
    vm_send_battery(0, 57);
    ASSERT_TRUE(program.caught_up());
    const auto events = program.events(message);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().wparam, 0x4009u);
    EXPECT_EQ(events.back().lparam, 0x3900);
  }

  DriverLibraries libraries{HIDAPI_DOUBLE_DRIVER_DIR};
  LinkState links;
  Program program;
  TraceLines traces;
  std::atomic<int> wireless_set_features{0};
  FunctionLinkEndpoints endpoints{
      [this](std::span<const uint8_t> b) { return libraries.wired.set_feature(b.data(), static_cast<int>(b.size())); },
      [this](std::span<const uint8_t> b) {
        ++wireless_set_features;
        return libraries.wireless.set_feature(b.data(), static_cast<int>(b.size()));
      },
      [this](std::span<const uint8_t> b) { return libraries.wireless_8k.write_usb(b.data(), static_cast<int>(b.size())); },
      [](std::span<const uint8_t>) { return 0; }};
  ReaderPacedClock clock{program};
  ReportSender sender{links, endpoints, clock};
  ProfileState profiles;
  test::RecordingApplyHost host;
  SettingsApplier applier{profiles, links, sender, clock, host};
};

TEST_F(HidapiVirtualMouseTest, WholeApplyOverTheCable) {
  ASSERT_TRUE(connect(VM_LINK_CABLE));
  EXPECT_TRUE(traces.contains("roles: feature /dev/hidraw2, report none, readers /dev/hidraw2"));
  expect_whole_apply();
  expect_battery_event(UM_WIRED_EVENT);
}

TEST_F(HidapiVirtualMouseTest, WholeApplyThroughThe24GHzReceiverWithItsAcknowledgements) {
  ASSERT_TRUE(connect(VM_LINK_24G));
  // Feature reports on interface 1, events on interface 2.
  EXPECT_TRUE(traces.contains("roles: feature /dev/hidraw6, report none, readers /dev/hidraw7"));
  expect_whole_apply();
  // Every report and chunk was acknowledged at once: five reports, one round of three
  // parts per macro chunk.
  VmMouseState s{};
  vm_get_state(&s);
  EXPECT_EQ(wireless_set_features, static_cast<int>(5 + 3 * s.accepted_macro_chunks));
  expect_battery_event(UM_WIRELESS_EVENT);
}

TEST_F(HidapiVirtualMouseTest, WholeApplyThroughThe8kHzReceiverWithFramedEvents) {
  ASSERT_TRUE(connect(VM_LINK_8K));
  EXPECT_TRUE(traces.contains("roles: feature none, report /dev/hidraw10, readers /dev/hidraw10"));
  expect_whole_apply();
  expect_battery_event(UM_WIRELESS_8K_EVENT);
}

TEST_F(HidapiVirtualMouseTest, ANodeTheUserMayNotOpenIsNotANodeThatIsNotThere) {
  ASSERT_TRUE(connect(VM_LINK_24G));
  EXPECT_EQ(libraries.wireless.open_error(), 0);
  libraries.wireless.close_feature_device();

  vm_fault_refuse_open(VM_LINK_CABLE, EACCES);
  EXPECT_FALSE(connect(VM_LINK_CABLE));
  EXPECT_EQ(libraries.wired.open_error(), EACCES);
  EXPECT_TRUE(traces.contains("cannot open /dev/hidraw2 for the feature channel: Permission denied"));

  vm_unplug(VM_LINK_CABLE);
  EXPECT_EQ(libraries.wired.open_feature_device(), 0);
  EXPECT_EQ(libraries.wired.open_error(), 0);  // simply not there
}

}  // namespace
}  // namespace norvane
