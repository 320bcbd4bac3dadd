#include "protocol/link_frames.h"

#include <algorithm>

#include "protocol/report_sum.h"

namespace norvane {
namespace {

constexpr uint8_t k8kFrameTag = 0x04;
constexpr size_t kPartDataAt = 4;
constexpr size_t kPartDataLength = kFeaturePartLength - kPartDataAt;  // 60
constexpr size_t kChunkDataStart = 3;

// Copies chunk bytes [from, from + count) to `out` at `at`, clipped to the chunk.
template <size_t N>
void copy_chunk_bytes(const MacroChunkImage& chunk, size_t from, size_t count, std::array<uint8_t, N>& out,
                      size_t at) {
  if (from >= chunk.size()) return;
  count = std::min({count, chunk.size() - from, N - at});
  std::copy_n(chunk.begin() + static_cast<std::ptrdiff_t>(from), count, out.begin() + static_cast<std::ptrdiff_t>(at));
}

FeaturePart feature_part(const MacroChunkImage& chunk, int part, uint8_t length_byte, bool with_data) {
  FeaturePart out{};
  out[0] = kCmdMacroChunk;
  out[1] = length_byte;
  out[2] = chunk[2];
  out[3] = static_cast<uint8_t>(part);
  if (with_data) copy_chunk_bytes(chunk, kChunkDataStart + static_cast<size_t>(part) * kPartDataLength,
                                  kPartDataLength, out, kPartDataAt);
  return out;
}

Frame8k frame_8k(uint8_t length_byte, uint8_t index_byte) {
  Frame8k frame{};
  frame[0] = k8kFrameTag;
  frame[1] = length_byte;
  frame[2] = index_byte;
  return frame;
}

}  // namespace

MacroChunkImage macro_chunk_image(std::span<const uint8_t> report) {
  MacroChunkImage chunk{};
  std::copy_n(report.begin(), std::min(report.size(), chunk.size()), chunk.begin());
  return chunk;
}

FeaturePart wired_macro_part(const MacroChunkImage& chunk, int part) {
  return feature_part(chunk, part, kFeaturePartLength, part == 0 || part == 1);
}

FeaturePart wireless_macro_part(const MacroChunkImage& chunk, int part) {
  constexpr uint8_t kClosingPartLength = 0x0C;
  if (part == 2) return feature_part(chunk, part, kClosingPartLength, false);
  return feature_part(chunk, part, kFeaturePartLength, part == 0 || part == 1);
}

std::optional<Frame8k> frame_8k_general(std::span<const uint8_t> report) {
  if (report.size() > kMax8kGeneralReport) return std::nullopt;
  const size_t length = report.size();
  Frame8k frame = frame_8k(static_cast<uint8_t>(length + 5), 0x00);
  std::copy(report.begin(), report.end(), frame.begin() + 3);
  put_sum_high_first(frame, length + 3, report_sum(frame, 0, length + 2));
  return frame;
}

Frame8k frame_8k_macro_first(const MacroChunkImage& chunk) {
  Frame8k frame = frame_8k(0x40, 0x00);
  copy_chunk_bytes(chunk, 0, 59, frame, 3);
  put_sum_high_first(frame, 62, report_sum(frame, 0, 61));
  return frame;
}

Frame8k frame_8k_macro_second(const MacroChunkImage& chunk) {
  Frame8k frame = frame_8k(0x39, 0x01);
  copy_chunk_bytes(chunk, 59, 52, frame, 3);
  put_sum_high_first(frame, k8kSecondFrameSumAt, report_sum(frame, 0, k8kSecondFrameSumAt - 1));
  return frame;
}

}  // namespace norvane
