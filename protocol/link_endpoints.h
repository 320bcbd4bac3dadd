#pragma once
// The four ways a report can leave the program. Each call hands over the bytes with
// their length and returns the link's result (non-zero usually means it took them).

#include <cstdint>
#include <span>

namespace norvane {

class LinkEndpoints {
 public:
  virtual ~LinkEndpoints() = default;
  // The cable library's SetFeature.
  virtual int wired_set_feature(std::span<const uint8_t> buffer) = 0;
  // The 2.4 GHz receiver library's SetFeature.
  virtual int wireless_set_feature(std::span<const uint8_t> buffer) = 0;
  // The 8 kHz receiver library's WriteUSB.
  virtual int wireless_8k_write(std::span<const uint8_t> buffer) = 0;
  // The Bluetooth LE characteristic write.
  virtual int ble_write(std::span<const uint8_t> buffer) = 0;
};

}  // namespace norvane
