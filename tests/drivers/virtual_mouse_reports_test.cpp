// The virtual mouse takes the settings reports apart as the mouse does, on
// every link, and refuses any frame with a damaged checked field.

#include <gtest/gtest.h>

#include "virtual_mouse_fixture.h"

namespace {

// The defaults' reports, written out by hand from the report tables.
const Bytes kDefaultRate = {0x06, 0x09, 0x01, 0x74, 0x8B, 0, 0, 0, 0};
const Bytes kDefaultLight = {0x05, 0x0F, 0x01, 0x50, 0x03, 0xA8, 0x00, 0x00,
                             0xFF, 0x01, 0x04, 0x01, 0xFF, 0x00, 0x00};

Bytes default_dpi() {
  Bytes r(56, 0);
  r[0] = 0x04;
  r[1] = 0x38;
  r[2] = 0x01;
  r[3] = 0;     // lift-off
  r[4] = 1;     // ripple
  r[5] = 0x3F;  // levels 1..6
  r[6] = 0;     // angle snap
  r[7] = 1;     // motion sync
  const uint8_t low[8] = {7, 15, 31, 63, 127, 7, 0, 0};
  const uint8_t high[8] = {0, 0, 0, 0, 0, 2, 0, 0};
  for (int k = 0; k < 8; ++k) {
    r[8 + k] = low[k];
    r[16 + k] = high[k];
  }
  r[24] = 2;
  const uint8_t colors[8][3] = {{0xFF, 0, 0},    {0, 0xFF, 0},    {0, 0, 0xFF},
                                {0xFF, 0xFF, 0}, {0, 0xFF, 0xFF}, {0xFF, 0, 0xFF},
                                {0xFF, 0x40, 0}, {0xFF, 0xFF, 0xFF}};
  for (int k = 0; k < 8; ++k) {
    for (int c = 0; c < 3; ++c) r[25 + 3 * k + c] = colors[k][c];
  }
  r[49] = 0x01;
  // 65 (bytes 3..7) + 250 + 2 (levels) + 2 (byte 24) + 3,379 (colours) + 1 = 3,699.
  r[50] = 0x0E;
  r[51] = 0x73;
  return r;
}

TEST_F(VirtualMouseTest, DecodesTheDefaultsReportsOverTheCable) {
  send(VM_LINK_CABLE, default_dpi());
  send(VM_LINK_CABLE, kDefaultLight);
  send(VM_LINK_CABLE, kDefaultRate);

  const VmMouseState s = mouse.state();
  EXPECT_EQ(mouse.counters().reports_accepted, 3u);
  EXPECT_EQ(mouse.counters().rejected_total, 0u);

  const uint16_t wire[8] = {7, 15, 31, 63, 127, 519, 0, 0};
  const uint32_t cpi[8] = {400, 800, 1600, 3200, 6400, 26000, 50, 50};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(s.dpi_wire[k], wire[k]) << k;
    EXPECT_EQ(s.dpi_cpi[k], cpi[k]) << k;
  }
  EXPECT_EQ(s.dpi_units[5], 520);
  EXPECT_EQ(s.dpi_level_mask, 0x3F);
  EXPECT_EQ(s.current_level, 1);
  EXPECT_EQ(s.ripple, 1);
  EXPECT_EQ(s.motion_sync, 1);
  EXPECT_EQ(s.lift_off, 0);
  EXPECT_EQ(s.dpi_colors[2][2], 0xFF);
  EXPECT_EQ(s.dpi_colors[6][1], 0x40);

  EXPECT_EQ(s.light_mode, 5);
  EXPECT_EQ(s.light_speed, 6);
  EXPECT_EQ(s.light_brightness, 8);
  EXPECT_EQ(s.sleep_timer, 10);
  EXPECT_EQ(s.light_color[0], 0x00);
  EXPECT_EQ(s.light_color[2], 0xFF);
  EXPECT_EQ(s.light_off_timer, 1);
  EXPECT_EQ(s.key_debounce, 4);

  EXPECT_EQ(s.polling_rate, 3);
  EXPECT_EQ(s.polling_rate_hs, 6);
}

TEST_F(VirtualMouseTest, SleepTimerNibblesAreSplitAcrossBytesFourAndFive) {
  // Sleep timer 0x3C, speed 2 (sent as 7), brightness 5.
  Bytes r = {0x05, 0x0F, 0x01, 0x10, 0x37, 0xC5, 1, 2, 3, 0, 0, 0, 0, 0, 0};
  put_sum(r, 3, 10, 11);
  send(VM_LINK_BLE, r);
  const VmMouseState s = mouse.state();
  EXPECT_EQ(s.sleep_timer, 0x3C);
  EXPECT_EQ(s.light_speed, 2);
  EXPECT_EQ(s.light_brightness, 5);
  EXPECT_EQ(s.light_mode, 1);
}

TEST_F(VirtualMouseTest, TheSameReportIsTakenOnEveryLinkInItsOwnFraming) {
  send(VM_LINK_24G, kDefaultLight);
  send(VM_LINK_BLE, kDefaultLight);
  // The 15-byte lighting report in an 8 kHz frame: 0x04, 20, 0, the report,
  // the sum of frame bytes 0..17 = 0x032C, then zeros.
  Bytes frame(65, 0);
  frame[0] = 0x04;
  frame[1] = 0x14;
  std::copy(kDefaultLight.begin(), kDefaultLight.end(), frame.begin() + 3);
  frame[18] = 0x03;
  frame[19] = 0x2C;
  EXPECT_EQ(frame, frame_8k(kDefaultLight));
  EXPECT_EQ(send(VM_LINK_8K, frame), 65);

  EXPECT_EQ(mouse.state().accepted_light, 3u);
  EXPECT_EQ(mouse.counters().rejected_total, 0u);
}

TEST_F(VirtualMouseTest, ButtonMappingKeepsThreeBytesPerButton) {
  Bytes r(59, 0);
  r[0] = 0x08;
  r[1] = 0x3B;
  r[2] = 0x01;
  for (int k = 0; k < 18; ++k) {
    r[3 + 3 * k] = static_cast<uint8_t>(k);
    r[4 + 3 * k] = 0x20;
    r[5 + 3 * k] = static_cast<uint8_t>(0xF0 + (k & 0x0F));
  }
  put_sum(r, 3, 56, 57);
  send(VM_LINK_8K, frame_8k(r));  // 59 bytes: frame byte 1 is 64
  const VmMouseState s = mouse.state();
  ASSERT_EQ(s.accepted_buttons, 1u);
  EXPECT_EQ(s.buttons[17][0], 17);
  EXPECT_EQ(s.buttons[17][1], 0x20);
  EXPECT_EQ(s.buttons[17][2], 0xF1);
}

struct Damage {
  const char* what;
  int link;
  Bytes frame;
  int reason;
};

std::vector<Damage> damaged_frames() {
  std::vector<Damage> cases;
  auto changed = [](Bytes bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  cases.push_back({"command", VM_LINK_CABLE, changed(kDefaultLight, 0, 0x07), VM_REJECT_COMMAND});
  cases.push_back({"length byte", VM_LINK_CABLE, changed(kDefaultLight, 1, 0x0E), VM_REJECT_LENGTH});
  cases.push_back({"byte 2", VM_LINK_24G, changed(kDefaultLight, 2, 0x02), VM_REJECT_HEADER});
  cases.push_back({"payload", VM_LINK_CABLE, changed(kDefaultLight, 6, 0x01), VM_REJECT_REPORT_SUM});
  cases.push_back({"sum high", VM_LINK_BLE, changed(kDefaultLight, 11, 0x00), VM_REJECT_REPORT_SUM});
  cases.push_back({"sum low", VM_LINK_CABLE, changed(default_dpi(), 51, 0x74), VM_REJECT_REPORT_SUM});
  cases.push_back({"rate check", VM_LINK_CABLE, changed(kDefaultRate, 4, 0x8A), VM_REJECT_RATE_CHECK});
  cases.push_back({"rate value", VM_LINK_24G, changed(kDefaultRate, 3, 0x75), VM_REJECT_RATE_CHECK});
  Bytes long_transfer = kDefaultLight;
  long_transfer.push_back(0);
  cases.push_back({"transfer length", VM_LINK_CABLE, long_transfer, VM_REJECT_LENGTH});
  cases.push_back({"rate over BLE", VM_LINK_BLE, kDefaultRate, VM_REJECT_COMMAND});

  const Bytes frame = frame_8k(kDefaultLight);
  cases.push_back({"frame id", VM_LINK_8K, changed(frame, 0, 0x05), VM_REJECT_HEADER});
  cases.push_back({"frame sum", VM_LINK_8K, changed(frame, 19, 0x2D), VM_REJECT_FRAME_SUM});
  cases.push_back({"frame number", VM_LINK_8K, changed(frame, 2, 0x01), VM_REJECT_FRAME_SUM});
  // Damage inside a correctly summed frame: the frame passes, the report does not.
  Bytes longer = changed(frame, 1, 0x15);
  put_sum(longer, 0, 18, 19);
  cases.push_back({"frame length byte", VM_LINK_8K, longer, VM_REJECT_LENGTH});
  Bytes renumbered = changed(frame, 2, 0x01);
  put_sum(renumbered, 0, 17, 18);
  cases.push_back({"frame number resummed", VM_LINK_8K, renumbered, VM_REJECT_NUMBERING});
  Bytes inner = changed(frame, 9, 0x01);
  put_sum(inner, 0, 17, 18);
  cases.push_back({"report inside frame", VM_LINK_8K, inner, VM_REJECT_REPORT_SUM});
  Bytes short_frame = frame;
  short_frame.pop_back();
  cases.push_back({"frame transfer length", VM_LINK_8K, short_frame, VM_REJECT_LENGTH});
  return cases;
}

TEST_F(VirtualMouseTest, RefusesAFrameWithOneChangedByteInAnyCheckedField) {
  for (const Damage& damage : damaged_frames()) {
    SCOPED_TRACE(damage.what);
    const VmMouseState before = mouse.state();
    const VmCounters counted = mouse.counters();

    send(damage.link, damage.frame);

    const VmCounters after = mouse.counters();
    EXPECT_EQ(after.reports_accepted, counted.reports_accepted);
    EXPECT_EQ(after.rejected[damage.reason], counted.rejected[damage.reason] + 1);
    EXPECT_EQ(last_frame().outcome, VM_FRAME_REJECTED);
    EXPECT_EQ(last_frame().reject_reason, damage.reason);
    const VmMouseState now = mouse.state();
    EXPECT_EQ(now.light_mode, before.light_mode);
    EXPECT_EQ(now.polling_rate_hs, before.polling_rate_hs);
    EXPECT_EQ(now.dpi_level_mask, before.dpi_level_mask);
  }
  // Undamaged, the same reports still go through.
  send(VM_LINK_CABLE, kDefaultLight);
  send(VM_LINK_CABLE, kDefaultRate);
  EXPECT_EQ(mouse.state().light_mode, 5);
  EXPECT_EQ(mouse.state().polling_rate_hs, 6);
}

TEST_F(VirtualMouseTest, TheWrongChannelOrAClosedDeviceTakesNothing) {
  // The 8 kHz receiver takes frames only.
  EXPECT_EQ(mouse.set_feature(VM_LINK_8K, kDefaultLight.data(), 15), 0);
  EXPECT_EQ(mouse.counters().rejected[VM_REJECT_COMMAND], 1u);

  mouse.close_feature(VM_LINK_CABLE);
  EXPECT_EQ(send(VM_LINK_CABLE, kDefaultLight), 0);
  EXPECT_EQ(last_frame().outcome, VM_FRAME_NOT_OPEN);

  // Unplugging closes the device: after the link comes back the program must open again.
  mouse.plug(VM_LINK_24G, false);
  mouse.plug(VM_LINK_24G, true);
  EXPECT_EQ(send(VM_LINK_24G, kDefaultLight), 0);
  EXPECT_EQ(mouse.open_feature(VM_LINK_24G), 1);
  EXPECT_EQ(send(VM_LINK_24G, kDefaultLight), 15);
  EXPECT_EQ(mouse.state().accepted_light, 1u);
}

TEST_F(VirtualMouseTest, AsleepTheMouseReceivesNothing) {
  mouse.fall_asleep();
  // The cable and Bluetooth LE reach the mouse itself: the transfer fails. A receiver
  // takes it for the mouse it cannot reach.
  EXPECT_EQ(send(VM_LINK_CABLE, kDefaultLight), 0);
  EXPECT_EQ(send(VM_LINK_BLE, kDefaultLight), 0);
  EXPECT_EQ(send(VM_LINK_24G, kDefaultLight), 15);
  EXPECT_EQ(mouse.state().accepted_light, 0u);
  EXPECT_EQ(mouse.counters().ignored_asleep, 3u);
  EXPECT_EQ(mouse.counters().acks_sent, 0u);
  mouse.wake();
  EXPECT_EQ(send(VM_LINK_CABLE, kDefaultLight), 15);
  EXPECT_EQ(mouse.state().accepted_light, 1u);
}

}  // namespace
