#pragma once
// A test fixture base for the Bluetooth LE link against the fake BlueZ: each test starts
// its own fake on a private bus and connects to it; make_transport() puts the real D-Bus
// GATT client and transport on that connection, and the transport's device events are
// recorded with whether they arrived on the UI thread. TearDown() ends the transport
// before the connection and the connection before the fake.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "device/ble_gatt_bluez.h"
#include "device/ble_transport.h"
#include "fake_bluez_process.h"

namespace norvane::test {

class FakeBluezFixture : public ::testing::Test {
 protected:
  struct ReceivedEvent {
    uint16_t code = 0;
    uint16_t value = 0;
    bool on_ui_thread = false;
  };

  static constexpr int kEventWaitMs = 5000;

  // The test executable's one application; its thread is the UI thread.
  static QCoreApplication& application();

  void SetUp() override;
  void TearDown() override;

  // The D-Bus GATT client and the transport on the fake's bus; events go to events_.
  BleTransport& make_transport(int call_timeout_ms = kBluezCallTimeoutMs);

  // The fragments of the mouse FakeBluezProcess::add_mouse adds by default.
  static void link_up(BleTransport& transport) { transport.set_fragments("VID&02045E", "PID&0009"); }

  // Lets queued events run until `count` device events arrived (bounded by kEventWaitMs).
  bool wait_for_events(size_t count);

  FakeBluezProcess fake_;
  QString connection_name_;
  std::unique_ptr<QDBusConnection> bus_;
  std::unique_ptr<BluezGatt> gatt_;
  std::unique_ptr<BleTransport> transport_;
  std::vector<ReceivedEvent> events_;
};

}  // namespace norvane::test
