#pragma once
// The Bluetooth LE transport as the link side drives it. UI thread only.

#include "device/ble_link_port.h"
#include "device/ble_transport.h"

namespace norvane {

class PageBlePort final : public BleLinkPort {
 public:
  explicit PageBlePort(BleTransport& transport) : transport_(transport) {}

  void set_fragments(const std::string& vid, const std::string& pid) override { transport_.set_fragments(vid, pid); }
  bool has_registration() const override { return transport_.has_registration(); }
  void register_notifications() override { transport_.ble_register_notifications(); }
  bool unregister_notifications() override { return transport_.unregister_notifications(); }

 private:
  BleTransport& transport_;
};

}  // namespace norvane
