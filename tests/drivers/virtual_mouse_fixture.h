#pragma once
// A fresh virtual mouse with every link plugged, identified and opened, and
// no real-time service: tests drive it directly.

#include <gtest/gtest.h>

#include "drivers/virtual/virtual_mouse.h"
#include "hand_built_reports.h"

class VirtualMouseTest : public ::testing::Test {
 protected:
  using VirtualMouse = norvane::vmouse::VirtualMouse;

  static norvane::vmouse::StartupConfig all_links() {
    norvane::vmouse::StartupConfig config;
    config.links = 0xF;
    config.battery_period_ms = 0;
    config.realtime = false;
    return config;
  }

  VirtualMouseTest() : mouse(all_links()) {
    for (int link : {VM_LINK_CABLE, VM_LINK_24G, VM_LINK_8K}) {
      const auto id = norvane::vmouse::link_identity(link);
      mouse.set_vidpid(link, id.vendor_id, id.product_id);
      mouse.open_feature(link);
    }
    mouse.open_report(VM_LINK_8K);
  }

  int send(int link, const Bytes& bytes) {
    const int length = static_cast<int>(bytes.size());
    switch (link) {
      case VM_LINK_8K: return mouse.write_usb(link, bytes.data(), length);
      case VM_LINK_BLE: return mouse.ble_write(bytes.data(), length);
      default: return mouse.set_feature(link, bytes.data(), length);
    }
  }
  void send_all(int link, const std::vector<Bytes>& frames) {
    for (const Bytes& frame : frames) send(link, frame);
  }
  VmWireEntry last_frame() {
    VmWireEntry entry{};
    mouse.wire_log_get(mouse.wire_log_count() - 1, entry);
    return entry;
  }

  VirtualMouse mouse;
};
