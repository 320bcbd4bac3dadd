// What the virtual mouse sends back: acknowledgements, events, battery
// reports, link messages, and how faults and sleep change them.

#include <gtest/gtest.h>

#include "recording_poster.h"
#include "virtual_mouse_fixture.h"

namespace {

constexpr uint32_t kEvent[3] = {1555, 1553, 1557};  // cable, 2.4 GHz, 8 kHz
constexpr uint32_t kLink[3] = {1556, 1554, 1558};

const Bytes kLight = {0x05, 0x0F, 0x01, 0x50, 0x03, 0xA8, 0x00, 0x00,
                      0xFF, 0x01, 0x04, 0x01, 0xFF, 0x00, 0x00};

class AnswersTest : public VirtualMouseTest {
 protected:
  AnswersTest() {
    mouse.set_clock([this] { return now_ms; });
    for (int link : {VM_LINK_CABLE, VM_LINK_24G, VM_LINK_8K}) {
      NvPostTarget target = poster.target();
      mouse.open_monitor(link, &target, kEvent[link], kLink[link]);
    }
  }
  ~AnswersTest() override {
    for (int link : {VM_LINK_CABLE, VM_LINK_24G, VM_LINK_8K}) mouse.close_monitor(link);
  }
  // Only the 2.4 GHz and 8 kHz receivers plugged, as a wireless mouse.
  void unplug_cable_and_ble() {
    mouse.plug(VM_LINK_CABLE, false);
    mouse.plug(VM_LINK_BLE, false);
    poster.clear();
  }
  static PostedMessage event(uint32_t message, uint8_t cls, uint8_t v0, uint8_t v1) {
    return {message, static_cast<uintptr_t>(0x09 | cls << 8), static_cast<intptr_t>(v0 | v1 << 8)};
  }

  int64_t now_ms = 1000;
  RecordingPoster poster;
};

TEST_F(AnswersTest, EveryReportAcceptedOverTheRadioIsAcknowledged) {
  send(VM_LINK_24G, kLight);
  send_all(VM_LINK_24G, radio_parts(macro_chunk(1, {1, 0, 0, 0, 1}, {0x02, 0x04})));
  Bytes damaged = kLight;
  damaged[12] ^= 1;
  send(VM_LINK_24G, damaged);
  send(VM_LINK_CABLE, kLight);  // the cable is not acknowledged

  const PostedMessage ack = event(1553, 0x50, 0, 0);
  EXPECT_EQ(ack.wparam, 0x5009u);
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{ack, ack}));
  EXPECT_EQ(mouse.counters().acks_sent, 2u);
}

TEST_F(AnswersTest, AcknowledgementFaults) {
  mouse.drop_next_acks(2);
  for (int i = 0; i < 3; ++i) send(VM_LINK_24G, kLight);
  EXPECT_EQ(poster.messages().size(), 1u);
  EXPECT_EQ(mouse.counters().acks_dropped, 2u);
  EXPECT_EQ(mouse.state().accepted_light, 3u);  // dropping the answer does not undo the report

  mouse.drop_acks(true);
  for (int i = 0; i < 3; ++i) send(VM_LINK_24G, kLight);
  EXPECT_EQ(poster.messages().size(), 1u);
  mouse.clear_faults();

  mouse.corrupt_next_answers(1, 2, 0xFF);
  send(VM_LINK_24G, kLight);
  send(VM_LINK_24G, kLight);
  const std::vector<PostedMessage> posted = poster.messages();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[1], event(1553, 0x50, 0xFF, 0));
  EXPECT_EQ(posted[2], event(1553, 0x50, 0, 0));
  EXPECT_EQ(last_frame().outcome, VM_FRAME_ACCEPTED);
}

TEST_F(AnswersTest, MouseSideChangesGoOutOnTheCableFirst) {
  poster.clear();
  mouse.press_dpi_button();  // factory: levels 1..4 enabled, level 2 active
  mouse.change_polling_rate(2, 5);
  mouse.change_lighting_mode(3);
  mouse.send_event(0x40, 0, 57);
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{event(1555, 0x10, 3, 0), event(1555, 0x20, 0x63, 0),
                                        event(1555, 0x70, 0x30, 0), event(1555, 0x40, 0, 57)}));
  EXPECT_EQ(mouse.state().current_level, 2);
  EXPECT_EQ(mouse.state().light_mode, 3);

  // Without the cable the 8 kHz receiver carries them, then the 2.4 GHz one.
  unplug_cable_and_ble();
  mouse.press_dpi_button();
  mouse.plug(VM_LINK_8K, false);
  mouse.press_dpi_button();
  const std::vector<PostedMessage> posted = poster.messages();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0], event(1557, 0x10, 4, 0));
  EXPECT_EQ(posted[1], (PostedMessage{1558, 0, 0}));
  EXPECT_EQ(posted[2], event(1553, 0x10, 1, 0));  // wraps to the first enabled level
}

TEST_F(AnswersTest, TheDpiButtonSkipsDisabledLevels) {
  Bytes dpi(56, 0);
  dpi[0] = 0x04;
  dpi[1] = 0x38;
  dpi[2] = 0x01;
  dpi[5] = 0x29;  // levels 1, 4 and 6
  dpi[24] = 4;
  put_sum(dpi, 3, 49, 50);
  send(VM_LINK_CABLE, dpi);
  poster.clear();
  for (int i = 0; i < 3; ++i) mouse.press_dpi_button();
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{event(1555, 0x10, 6, 0), event(1555, 0x10, 1, 0),
                                        event(1555, 0x10, 4, 0)}));
}

TEST_F(AnswersTest, BatteryReportsFollowTheClock) {
  unplug_cable_and_ble();
  mouse.set_battery_level(57);
  mouse.set_battery_period(2000);
  now_ms += 1999;
  mouse.tick();
  EXPECT_TRUE(poster.messages().empty());
  now_ms += 1;
  mouse.tick();
  mouse.tick();  // once per period
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{event(1557, 0x40, 0, 57)}));

  // On the cable the mouse charges; full at 100.
  mouse.plug(VM_LINK_CABLE, true);
  poster.clear();
  now_ms += 2000;
  mouse.tick();
  mouse.set_battery_level(100);
  now_ms += 2000;
  mouse.tick();
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{event(1555, 0x40, 3, 57),
                                                           event(1555, 0x40, 2, 100)}));
}

TEST_F(AnswersTest, AsleepTheMouseAnswersNothingUntilAButtonWakesIt) {
  mouse.fall_asleep();
  send(VM_LINK_24G, kLight);
  mouse.send_event(0x40, 0, 50);
  mouse.set_battery_period(1);
  now_ms += 10;
  mouse.tick();
  EXPECT_TRUE(poster.messages().empty());

  mouse.press_dpi_button();
  EXPECT_EQ(mouse.state().sleeping, 0);
  EXPECT_EQ(poster.messages().size(), 1u);
}

TEST_F(AnswersTest, PlugAndUnplugPostLinkMessagesToTheLinksMonitor) {
  mouse.plug(VM_LINK_24G, false);
  mouse.plug(VM_LINK_24G, false);  // no change, no message
  mouse.plug(VM_LINK_24G, true);
  mouse.set_links(VM_LINK_BIT(VM_LINK_8K));
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{{1554, 0, 0}, {1554, 1, 0}, {1556, 0, 0}, {1554, 0, 0}}));

  // A library set to another device hears nothing.
  mouse.set_vidpid(VM_LINK_24G, 0x1D57, 0x2127);
  poster.clear();
  mouse.plug(VM_LINK_24G, true);
  EXPECT_TRUE(poster.messages().empty());
  EXPECT_EQ(mouse.open_feature(VM_LINK_24G), 0);

  // After Close_DevMonitor nothing more is posted.
  mouse.close_monitor(VM_LINK_8K);
  mouse.plug(VM_LINK_8K, false);
  EXPECT_TRUE(poster.messages().empty());
}

TEST_F(AnswersTest, TheWireLogStampsEveryFrameWithItsLinkAndTime) {
  mouse.wire_log_clear();
  send(VM_LINK_24G, kLight);
  now_ms = 5000;
  send_all(VM_LINK_8K, {frame_8k(kLight)});
  ASSERT_EQ(mouse.wire_log_count(), 3);
  VmWireEntry in{}, ack{}, frame{};
  mouse.wire_log_get(0, in);
  mouse.wire_log_get(1, ack);
  mouse.wire_log_get(2, frame);
  EXPECT_EQ(in.link, VM_LINK_24G);
  EXPECT_EQ(in.direction, VM_TO_MOUSE);
  EXPECT_EQ(in.length, 15);
  EXPECT_EQ(in.bytes[3], 0x50);
  EXPECT_EQ(in.time_ms, 1000);
  EXPECT_EQ(ack.direction, VM_FROM_MOUSE);
  EXPECT_EQ(ack.bytes[1], 0x50);
  EXPECT_EQ(frame.link, VM_LINK_8K);
  EXPECT_EQ(frame.length, 65);
  EXPECT_EQ(frame.time_ms, 5000);
  EXPECT_LT(in.sequence, frame.sequence);
}

TEST_F(AnswersTest, BluetoothAnswersGoToTheBleListener) {
  struct Heard {
    std::vector<Bytes> reports;
    std::vector<int> connections;
  } heard;
  mouse.set_ble_listener(
      [](void* c, const uint8_t* r, int n) { static_cast<Heard*>(c)->reports.emplace_back(r, r + n); },
      [](void* c, int up) { static_cast<Heard*>(c)->connections.push_back(up); }, &heard);
  mouse.set_links(VM_LINK_BIT(VM_LINK_BLE));
  mouse.send_event(0x40, 3, 0);
  mouse.plug(VM_LINK_BLE, false);
  EXPECT_EQ(mouse.ble_write(kLight.data(), 15), 0);
  EXPECT_EQ(heard.reports, (std::vector<Bytes>{{0x09, 0x40, 3, 0}}));
  EXPECT_EQ(heard.connections, (std::vector<int>{0}));
  mouse.set_ble_listener(nullptr, nullptr, nullptr);
}

}  // namespace
