// The Bluetooth LE link against a fake BlueZ on a private bus: the real transport and
// D-Bus client, a python3-dbusmock org.bluez started and killed by each test.

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/trace.h"
#include "device/ble_gatt_bluez.h"
#include "device/ble_transport.h"
#include "fake_bluez_fixture.h"

namespace norvane {
namespace {

using test::FakeBluezMouse;
using test::uuid16;

std::vector<uint8_t> numbered_report(size_t length) {
  std::vector<uint8_t> report(length);
  for (size_t i = 0; i < length; ++i) report[i] = static_cast<uint8_t>(0xA0 + i);
  return report;
}

class BleBluezTest : public test::FakeBluezFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(FakeBluezFixture::SetUp());
    previous_sink_ = set_trace_sink([this](const std::string& line) {
      std::lock_guard<std::mutex> lock(traces_mutex_);
      traces_.push_back(line);
    });
  }

  void TearDown() override {
    FakeBluezFixture::TearDown();
    set_trace_sink(previous_sink_);
  }

  qsizetype call_count(const QString& path, const char* method) {
    return fake_.calls(path, QString::fromLatin1(method)).size();
  }

  // A round trip to the fake BlueZ: every signal it sent before has then been queued
  // for this thread, and processing events delivers whatever is going to arrive.
  void settle() {
    GattObjects objects;
    ASSERT_TRUE(gatt_->read_objects(objects).ok());
    QCoreApplication::processEvents();
  }

  bool traced(const std::string& line) {
    std::lock_guard<std::mutex> lock(traces_mutex_);
    return std::find(traces_.begin(), traces_.end(), line) != traces_.end();
  }

  std::mutex traces_mutex_;
  std::vector<std::string> traces_;
  TraceSink previous_sink_;
};

TEST_F(BleBluezTest, ReportReachesTheReportCharacteristicUnchangedFromTheWorkerThread) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();

  const std::vector<uint8_t> report = numbered_report(56);
  int result = -1;
  std::thread worker([&] { result = transport.ble_write(report.data(), static_cast<int>(report.size())); });
  worker.join();

  EXPECT_EQ(result, 1);
  const QJsonArray writes = fake_.calls(mouse.report, QStringLiteral("WriteValue"));
  ASSERT_EQ(writes.size(), 1);
  const QJsonArray arguments = writes.at(0).toArray();
  const QJsonArray bytes = arguments.at(0).toArray();
  ASSERT_EQ(bytes.size(), 56);
  for (qsizetype i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes.at(i).toInt(), report[i]) << "byte " << i;
  EXPECT_EQ(arguments.at(1).toObject(), (QJsonObject{{"type", "request"}}));
  EXPECT_TRUE(traced(mouse.device.toStdString() + "\r\n"));
  EXPECT_TRUE(traced("Write Success!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\r\n"));
}

TEST_F(BleBluezTest, NothingIsWrittenOrRegisteredWithoutFragmentsOrAMatchingDevice) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  const FakeBluezMouse other_product = fake_.add_mouse("AA:BB:CC:DD:EE:02", "bluetooth:v045Ep0010d0001");
  const FakeBluezMouse disconnected = fake_.add_mouse("AA:BB:CC:DD:EE:03", "usb:v045Ep0009d0001", false);
  BleTransport& transport = make_transport();
  const std::vector<uint8_t> report = numbered_report(56);

  // Link up, but no registration has listed the devices yet: the table is empty.
  link_up(transport);
  EXPECT_EQ(transport.device_count(), 0u);
  EXPECT_EQ(transport.ble_write(report), 0);

  // Link down: registration lists the devices and stops there.
  transport.set_fragments("", "");
  EXPECT_EQ(transport.ble_register_notifications(), 0);
  EXPECT_EQ(transport.device_count(), 2u);  // the two connected devices
  EXPECT_FALSE(transport.has_registration());
  EXPECT_EQ(transport.ble_write(report), 0);

  for (const FakeBluezMouse* device : {&mouse, &other_product, &disconnected}) {
    EXPECT_EQ(call_count(device->report, "WriteValue"), 0) << device->device.toStdString();
    EXPECT_EQ(call_count(device->event, "StartNotify"), 0) << device->device.toStdString();
  }

  // Link up again: only the mouse is registered and written.
  link_up(transport);
  transport.ble_register_notifications();
  EXPECT_EQ(transport.ble_write(report), 1);
  // Reports the link cannot carry are refused before they reach the bus.
  EXPECT_EQ(transport.ble_write(numbered_report(kBleMaxReportBytes + 1)), 0);
  EXPECT_EQ(transport.ble_write(nullptr, 4), 0);
  EXPECT_EQ(call_count(mouse.report, "WriteValue"), 1);
  EXPECT_EQ(call_count(mouse.event, "StartNotify"), 1);
  for (const FakeBluezMouse* device : {&other_product, &disconnected}) {
    EXPECT_EQ(call_count(device->report, "WriteValue"), 0) << device->device.toStdString();
    EXPECT_EQ(call_count(device->event, "StartNotify"), 0) << device->device.toStdString();
  }
}

TEST_F(BleBluezTest, NotificationsBecomeDeviceEventsOnTheUiThread) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  ASSERT_TRUE(transport.has_registration());
  EXPECT_TRUE(traced("m_iBleNum = 1\r\n"));
  EXPECT_TRUE(traced("Setting Notification for ServiceHandle 12\n"));

  fake_.notify(mouse.event, QByteArray("\x09\x40\x00\x39", 4));
  ASSERT_TRUE(wait_for_events(1));
  EXPECT_EQ(events_[0].code, 0x4009);
  EXPECT_EQ(events_[0].value, 0x3900);
  EXPECT_TRUE(events_[0].on_ui_thread);

  // Short, empty and mistyped values are dropped; bytes after the fourth are ignored.
  fake_.notify(mouse.event, QByteArray("\x09\x40\x00", 3));
  fake_.notify(mouse.event, QByteArray());
  fake_.notify_text(mouse.event, QStringLiteral("09400039"));
  fake_.notify(mouse.event, QByteArray("\x09\x10\x02\x00\xff", 5));
  ASSERT_TRUE(wait_for_events(2));
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].code, 0x1009);
  EXPECT_EQ(events_[1].value, 0x0002);
  EXPECT_TRUE(traced("BLE notification of 3 bytes dropped\r\n"));
  EXPECT_TRUE(traced("datasize 0\n"));
}

TEST_F(BleBluezTest, TheServiceTakenIsTheFirstByHandleThatHoldsBothCharacteristics) {
  const QString device = fake_.add_device("AA:BB:CC:DD:EE:01", "usb:v045Ep0009d0001");
  // Listed first: a later primary service with both characteristics.
  const QString late = fake_.add_service(device, 0x0030, uuid16(0xfee0));
  const QString late_report = fake_.add_characteristic(late, 0x0031, uuid16(0xfee3), {"write"});
  const QString late_event = fake_.add_characteristic(late, 0x0033, uuid16(0xfee4), {"notify"});
  // Lower handles: device information, and a service whose 0xFEE4 cannot notify.
  const QString info = fake_.add_service(device, 0x0008, uuid16(0x180a));
  fake_.add_characteristic(info, 0x0009, uuid16(0x2a29), {"read"});
  const QString partial = fake_.add_service(device, 0x000c, uuid16(0xfee0));
  const QString partial_report = fake_.add_characteristic(partial, 0x000d, uuid16(0xfee3), {"write"});
  fake_.add_characteristic(partial, 0x000f, uuid16(0xfee4), {"read"});
  // Both, in a secondary service below the one taken.
  const QString secondary = fake_.add_service(device, 0x0010, uuid16(0xfee0), false);
  const QString secondary_report = fake_.add_characteristic(secondary, 0x0011, uuid16(0xfee3), {"write"});
  fake_.add_characteristic(secondary, 0x0012, uuid16(0xfee4), {"notify"});
  const QString taken = fake_.add_service(device, 0x0020, uuid16(0xfee0));
  const QString taken_report = fake_.add_characteristic(taken, 0x0021, uuid16(0xfee3), {"write"});
  const QString taken_event = fake_.add_characteristic(taken, 0x0023, uuid16(0xfee4), {"indicate"});

  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  EXPECT_EQ(transport.ble_write(numbered_report(8)), 1);

  EXPECT_EQ(call_count(taken_report, "WriteValue"), 1);
  EXPECT_EQ(call_count(taken_event, "StartNotify"), 1);
  for (const QString& other : {late_report, partial_report, secondary_report})
    EXPECT_EQ(call_count(other, "WriteValue"), 0) << other.toStdString();
  EXPECT_EQ(call_count(late_event, "StartNotify"), 0);

  // Which one was taken, and everything the device offered.
  EXPECT_TRUE(traced("service taken: " + taken.toStdString() + "\r\n"));
  EXPECT_TRUE(traced("offered: " + info.toStdString() + " 180a: 2a29 (read)\r\n"));
  EXPECT_TRUE(traced("offered: " + partial.toStdString() + " fee0: fee3 (write) fee4 (read)\r\n"));
  EXPECT_TRUE(traced("Setting Notification for ServiceHandle 32\n"));
}

TEST_F(BleBluezTest, ADeviceWithoutTheTwoCharacteristicsIsTracedAndLeftAlone) {
  const QString device = fake_.add_device("AA:BB:CC:DD:EE:01", "usb:v045Ep0009d0001");
  const QString service = fake_.add_service(device, 0x000c, uuid16(0xfee0));
  const QString report = fake_.add_characteristic(service, 0x000d, uuid16(0xfee3), {"write"});

  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  EXPECT_FALSE(transport.has_registration());
  EXPECT_EQ(transport.ble_write(numbered_report(8)), 0);
  EXPECT_EQ(call_count(report, "WriteValue"), 0);
  EXPECT_TRUE(traced("no service of " + device.toStdString() + " holds a writable 0xfee3 and a notifiable 0xfee4\r\n"));
  EXPECT_TRUE(traced("offered: " + service.toStdString() + " fee0: fee3 (write)\r\n"));
}

TEST_F(BleBluezTest, RejectedWriteIsAFailure) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  fake_.set_write_behaviour(mouse.report, QStringLiteral("fail"));

  EXPECT_EQ(transport.ble_write(numbered_report(56)), 0);
  EXPECT_EQ(call_count(mouse.report, "WriteValue"), 1);
  EXPECT_TRUE(traced("Write fail!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\r\n"));
}

TEST_F(BleBluezTest, WriteGivesUpWhenBluezDoesNotAnswer) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  constexpr int kCallTimeoutMs = 300;
  BleTransport& transport = make_transport(kCallTimeoutMs);
  link_up(transport);
  transport.ble_register_notifications();
  // The fake stops dead when the write arrives, like a hung stack.
  fake_.set_write_behaviour(mouse.report, QStringLiteral("stall"));

  const auto started = std::chrono::steady_clock::now();
  const int result = transport.ble_write(numbered_report(56));
  const auto elapsed = std::chrono::steady_clock::now() - started;

  EXPECT_EQ(result, 0);
  EXPECT_TRUE(traced("Write fail!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\r\n"));
  // The write ends on its own timeout, not on the bus's default of 25 s.
  EXPECT_LT(elapsed, std::chrono::milliseconds(kCallTimeoutMs * 20));
}

TEST_F(BleBluezTest, UnregisteringStopsNotifications) {
  const FakeBluezMouse mouse = fake_.add_mouse();
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  fake_.notify(mouse.event, QByteArray("\x09\x40\x00\x39", 4));
  ASSERT_TRUE(wait_for_events(1));

  transport.set_fragments("", "");
  EXPECT_TRUE(transport.unregister_notifications());
  EXPECT_FALSE(transport.has_registration());
  EXPECT_EQ(call_count(mouse.event, "StopNotify"), 1);

  fake_.notify(mouse.event, QByteArray("\x09\x40\x00\x38", 4));
  settle();
  EXPECT_EQ(events_.size(), 1u);
  EXPECT_FALSE(transport.unregister_notifications());  // nothing held any more
  EXPECT_EQ(call_count(mouse.event, "StopNotify"), 1);
}

TEST_F(BleBluezTest, NewRegistrationReplacesTheHeldOne) {
  const FakeBluezMouse first = fake_.add_mouse("AA:BB:CC:DD:EE:01");
  const FakeBluezMouse second = fake_.add_mouse("AA:BB:CC:DD:EE:02");
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();

  EXPECT_EQ(call_count(first.event, "StartNotify"), 1);
  EXPECT_EQ(call_count(second.event, "StartNotify"), 1);
  EXPECT_EQ(call_count(first.event, "StopNotify"), 1);
  EXPECT_EQ(call_count(second.event, "StopNotify"), 0);

  fake_.notify(first.event, QByteArray("\x09\x40\x00\x01", 4));
  fake_.notify(second.event, QByteArray("\x09\x40\x00\x02", 4));
  ASSERT_TRUE(wait_for_events(1));
  settle();
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].value, 0x0200);
}

TEST_F(BleBluezTest, RegistrationWaitsUntilServicesAreResolved) {
  const FakeBluezMouse mouse = fake_.add_mouse("AA:BB:CC:DD:EE:01", "usb:v045Ep0009d0001", true, false);
  BleTransport& transport = make_transport();
  link_up(transport);
  transport.ble_register_notifications();
  EXPECT_FALSE(transport.has_registration());
  EXPECT_EQ(call_count(mouse.event, "StartNotify"), 0);

  fake_.set_resolved(mouse.device, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return transport.has_registration(); }, kEventWaitMs));
  EXPECT_EQ(call_count(mouse.event, "StartNotify"), 1);

  fake_.notify(mouse.event, QByteArray("\x09\x40\x00\x39", 4));
  ASSERT_TRUE(wait_for_events(1));
  EXPECT_EQ(events_[0].code, 0x4009);
}

}  // namespace
}  // namespace norvane
