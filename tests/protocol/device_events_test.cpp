// Decoding the mouse's own reports: which values each event class accepts, and what
// each source may report.

#include "protocol/device_events.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

template <typename T>
T decoded(EventSource source, uint16_t code, uint16_t value) {
  const std::optional<DeviceEvent> event = decode_device_event(source, code, value);
  EXPECT_TRUE(event.has_value()) << std::hex << code << " " << value;
  EXPECT_TRUE(event && std::holds_alternative<T>(*event)) << std::hex << code << " " << value;
  return event && std::holds_alternative<T>(*event) ? std::get<T>(*event) : T{};
}

bool refused(EventSource source, uint16_t code, uint16_t value) {
  return !decode_device_event(source, code, value).has_value();
}

TEST(DeviceEvents, OnlyReportsTaggedAsEventsOfAKnownClassDecode) {
  EXPECT_TRUE(refused(EventSource::library, 0x1008, 3));  // byte 0 is not 0x09
  EXPECT_TRUE(refused(EventSource::library, 0x3009, 1));  // no such class
  EXPECT_TRUE(refused(EventSource::library, 0x8009, 0));  // settings saved: 1..5 only
  EXPECT_TRUE(refused(EventSource::library, 0x8009, 6));
  EXPECT_EQ(decoded<SettingsSaved>(EventSource::ble, 0x8009, 5).what, 5);
}

TEST(DeviceEvents, DpiLevelsAreOneToEight) {
  EXPECT_EQ(decoded<DpiLevelChanged>(EventSource::library, 0x1009, 1).level, 1);
  EXPECT_EQ(decoded<DpiLevelChanged>(EventSource::ble, 0x1009, 8).level, 8);
  EXPECT_TRUE(refused(EventSource::library, 0x1009, 0));
  EXPECT_TRUE(refused(EventSource::library, 0x1009, 9));
  EXPECT_TRUE(refused(EventSource::library, 0x1009, 0x0103));  // a high byte makes it out of range
}

TEST(DeviceEvents, EachSourceReportsOnlyTheRatesItCarries) {
  // Low nibble: rate option 1..4; high nibble: high-speed option 1..7.
  PollingRateChanged both = decoded<PollingRateChanged>(EventSource::library, 0x2009, 0x72);
  EXPECT_EQ(both.rate, 1);
  EXPECT_EQ(both.rate_hs, 6);

  PollingRateChanged eight_k = decoded<PollingRateChanged>(EventSource::library_8k, 0x2009, 0x72);
  EXPECT_FALSE(eight_k.rate.has_value());
  EXPECT_EQ(eight_k.rate_hs, 6);

  PollingRateChanged ble = decoded<PollingRateChanged>(EventSource::ble, 0x2009, 0x71);
  EXPECT_EQ(ble.rate, 0);
  EXPECT_FALSE(ble.rate_hs.has_value());

  // One valid half is enough; the other is left out.
  PollingRateChanged half = decoded<PollingRateChanged>(EventSource::library, 0x2009, 0x05 | 0x30);
  EXPECT_FALSE(half.rate.has_value());
  EXPECT_EQ(half.rate_hs, 2);

  EXPECT_TRUE(refused(EventSource::library, 0x2009, 0x00));
  EXPECT_TRUE(refused(EventSource::library, 0x2009, 0x85));
  EXPECT_TRUE(refused(EventSource::library_8k, 0x2009, 0x04));  // only a rate the 8 kHz link does not report
  EXPECT_TRUE(refused(EventSource::ble, 0x2009, 0x70));
}

TEST(DeviceEvents, BatteryStatusAndLevelComeFromTheTwoValueBytes) {
  const BatteryReport level = decoded<BatteryReport>(EventSource::library, 0x4009, 0x3900);
  EXPECT_EQ(level.status, BatteryStatus::discharging);
  EXPECT_EQ(level.level, 57);
  EXPECT_EQ(decoded<BatteryReport>(EventSource::library, 0x4009, 0x6402).status, BatteryStatus::full);
  EXPECT_EQ(decoded<BatteryReport>(EventSource::ble, 0x4009, 0x0003).status, BatteryStatus::charging);
  // An impossible level still decodes; whoever shows it checks the range.
  EXPECT_EQ(decoded<BatteryReport>(EventSource::library, 0x4009, 0xC800).level, 200);
}

TEST(DeviceEvents, AnAcknowledgementIsAcceptedWhenItsLowByteIsZero) {
  EXPECT_TRUE(decoded<Acknowledgement>(EventSource::library, 0x5009, 0x0000).accepted);
  EXPECT_TRUE(decoded<Acknowledgement>(EventSource::library, 0x5009, 0x0100).accepted);
  EXPECT_FALSE(decoded<Acknowledgement>(EventSource::library, 0x5009, 0x0001).accepted);
}

TEST(DeviceEvents, LightingModesAreTheHighNibbleBelowTwelve) {
  EXPECT_EQ(decoded<LightingModeChanged>(EventSource::library, 0x7009, 0x00B0).mode, 11);
  EXPECT_EQ(decoded<LightingModeChanged>(EventSource::ble, 0x7009, 0x0000).mode, 0);
  EXPECT_TRUE(refused(EventSource::library, 0x7009, 0x00C0));
  EXPECT_TRUE(refused(EventSource::library, 0x7009, 0x00F0));
}

}  // namespace
}  // namespace norvane
