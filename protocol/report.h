#pragma once
// A report to the mouse: command byte, total length, 0x01 (or a macro block number),
// payload and, for most commands, a 16-bit byte sum stored high byte first.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace norvane {

inline constexpr uint8_t kCmdDpi = 0x04;
inline constexpr uint8_t kCmdLight = 0x05;
inline constexpr uint8_t kCmdPollingRate = 0x06;
inline constexpr uint8_t kCmdButtonMapping = 0x08;
inline constexpr uint8_t kCmdMacroChunk = 0x09;
inline constexpr uint8_t kCmdFullSendOpener = 0x0C;

inline constexpr size_t kDpiReportLength = 56;
inline constexpr size_t kLightReportLength = 15;
inline constexpr size_t kPollingRateReportLength = 9;
inline constexpr size_t kButtonMappingReportLength = 59;
inline constexpr size_t kMacroChunkLength = 111;
inline constexpr size_t kFullSendOpenerLength = 10;

inline constexpr size_t kMaxReportLength = kMacroChunkLength;

// A built report in a fixed, zero-filled buffer.
struct Report {
  std::array<uint8_t, kMaxReportLength> bytes{};
  size_t length = 0;

  std::span<const uint8_t> view() const { return {bytes.data(), length}; }
};

}  // namespace norvane
