#pragma once
// How a report is wrapped or split for each link. Pure functions over fixed,
// zero-filled buffers: nothing here reads past the report it was given.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/report.h"

namespace norvane {

inline constexpr size_t kFeaturePartLength = 64;  // a macro chunk part through SetFeature
inline constexpr size_t kFrame8kLength = 65;      // every WriteUSB frame of the 8 kHz receiver
inline constexpr size_t kMax8kGeneralReport = kFrame8kLength - 5;

using FeaturePart = std::array<uint8_t, kFeaturePartLength>;
using Frame8k = std::array<uint8_t, kFrame8kLength>;
using MacroChunkImage = std::array<uint8_t, kMacroChunkLength>;

// The macro chunk as the links read it: the report's first 111 bytes, zero past its end.
MacroChunkImage macro_chunk_image(std::span<const uint8_t> report);

// Cable: part 0 carries chunk bytes 3..62, part 1 bytes 63..110 then zeros.
FeaturePart wired_macro_part(const MacroChunkImage& chunk, int part);

// 2.4 GHz: parts 0 and 1 as on the cable; part 2 is a 12-byte-length closing part of zeros.
FeaturePart wireless_macro_part(const MacroChunkImage& chunk, int part);

// 8 kHz general frame: 0x04, length + 5, 0x00, the report, the sum of all bytes before
// it (high first), zeros. Empty when the report does not fit (over 60 bytes).
std::optional<Frame8k> frame_8k_general(std::span<const uint8_t> report);

// 8 kHz macro chunk frames: the first carries chunk bytes 0..58, the second 59..110.
Frame8k frame_8k_macro_first(const MacroChunkImage& chunk);
Frame8k frame_8k_macro_second(const MacroChunkImage& chunk);

// Index of the first sum byte of the second 8 kHz macro frame (bytes 0..54 are summed).
inline constexpr size_t k8kSecondFrameSumAt = 55;

}  // namespace norvane
