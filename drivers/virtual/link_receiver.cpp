#include "drivers/virtual/link_receiver.h"

#include <cstring>

namespace norvane::vmouse {

namespace {

constexpr size_t kPartBytes = 64;          // cable and 2.4 GHz macro parts
constexpr size_t kPartData = 60;           // data bytes 4..63 of a part
constexpr uint8_t kPartLengthByte = 0x40;  // byte 1 of a full part
constexpr uint8_t kLastRadioPartLengthByte = 0x0C;  // byte 1 of the 2.4 GHz part 2
constexpr size_t kSecondPartData = kChunkBytes - 3 - kPartData;  // 48: chunk bytes 63..110

constexpr size_t kFrameBytes = 65;         // 8 kHz frame
constexpr uint8_t kFrameReportId = 0x04;
constexpr size_t kFrameOverhead = 5;       // 3 header bytes + 2 sum bytes
constexpr size_t kFirstMacroFrameData = 59;   // chunk bytes 0..58
constexpr size_t kSecondMacroFrameData = 52;  // chunk bytes 59..110

}  // namespace

bool LinkReceiver::forget_partial() {
  const bool had = pending_;
  pending_ = false;
  next_part_ = 0;
  return had;
}

Verdict LinkReceiver::receive(FirmwareModel& model, const uint8_t* data, size_t length) {
  abandoned_ = false;
  Verdict verdict;
  switch (link_) {
    case VM_LINK_CABLE:
    case VM_LINK_24G: verdict = receive_feature(model, data, length); break;
    case VM_LINK_8K: verdict = receive_8k_frame(model, data, length); break;
    default: verdict = receive_ble(model, data, length); break;
  }
  verdict.abandoned_chunk = abandoned_;
  return verdict;
}

void LinkReceiver::abandon() {
  if (pending_) abandoned_ = true;
  pending_ = false;
  next_part_ = 0;
}

Verdict LinkReceiver::receive_feature(FirmwareModel& model, const uint8_t* data, size_t length) {
  if (length >= 1 && data[0] == kCmdMacro) return receive_macro_part(model, data, length);
  abandon();
  return model.apply_report(data, length);
}

Verdict LinkReceiver::receive_macro_part(FirmwareModel& model, const uint8_t* data,
                                         size_t length) {
  const int parts = link_ == VM_LINK_CABLE ? 2 : 3;
  if (length != kPartBytes) {
    abandon();
    return Verdict::rejected(VM_REJECT_LENGTH);
  }
  const uint8_t block = data[2];
  const int part = data[3];
  if (part >= parts) {
    abandon();
    return Verdict::rejected(VM_REJECT_NUMBERING);
  }
  const uint8_t length_byte =
      (link_ == VM_LINK_24G && part == 2) ? kLastRadioPartLengthByte : kPartLengthByte;
  if (data[1] != length_byte) {
    abandon();
    return Verdict::rejected(VM_REJECT_LENGTH);
  }

  if (part == 0) {
    // A new chunk starts; one still held is abandoned.
    abandon();
    chunk_.fill(0);
    chunk_[0] = kCmdMacro;
    chunk_[1] = static_cast<uint8_t>(kChunkBytes);
    chunk_[2] = block;
    std::memcpy(chunk_.data() + 3, data + 4, kPartData);
    pending_ = true;
    pending_block_ = block;
    next_part_ = 1;
    return Verdict::part();
  }
  if (!pending_ || part != next_part_ || block != pending_block_) {
    abandon();
    return Verdict::rejected(VM_REJECT_NUMBERING);
  }
  if (part == 1) std::memcpy(chunk_.data() + 3 + kPartData, data + 4, kSecondPartData);
  ++next_part_;
  if (next_part_ < parts) return Verdict::part();

  pending_ = false;
  next_part_ = 0;
  return model.apply_report(chunk_.data(), kChunkBytes);
}

Verdict LinkReceiver::receive_8k_frame(FirmwareModel& model, const uint8_t* data, size_t length) {
  if (length != kFrameBytes) {
    abandon();
    return Verdict::rejected(VM_REJECT_LENGTH);
  }
  if (data[0] != kFrameReportId) {
    abandon();
    return Verdict::rejected(VM_REJECT_HEADER);
  }
  // Byte 1 is the carried length plus 5; the carried bytes and their sum
  // must fit in the frame and hold at least a report header.
  if (data[1] < kFrameOverhead + 3 || data[1] > kFrameBytes) {
    abandon();
    return Verdict::rejected(VM_REJECT_LENGTH);
  }
  const size_t carried = data[1] - kFrameOverhead;
  if (byte_sum(data, 0, carried + 2) != high_first(data + carried + 3)) {
    abandon();
    return Verdict::rejected(VM_REJECT_FRAME_SUM);
  }
  const uint8_t* payload = data + 3;
  const uint8_t frame_number = data[2];

  if (frame_number == 0 && payload[0] == kCmdMacro) {
    abandon();
    if (carried != kFirstMacroFrameData || payload[1] != kChunkBytes) {
      return Verdict::rejected(VM_REJECT_LENGTH);
    }
    chunk_.fill(0);
    std::memcpy(chunk_.data(), payload, kFirstMacroFrameData);
    pending_ = true;
    pending_block_ = payload[2];
    next_part_ = 1;
    return Verdict::part();
  }
  if (frame_number == 0) {
    abandon();
    return model.apply_report(payload, carried);
  }
  if (frame_number != 1 || !pending_) {
    abandon();
    return Verdict::rejected(VM_REJECT_NUMBERING);
  }
  if (carried != kSecondMacroFrameData) {
    abandon();
    return Verdict::rejected(VM_REJECT_LENGTH);
  }
  std::memcpy(chunk_.data() + kFirstMacroFrameData, payload, kSecondMacroFrameData);
  pending_ = false;
  next_part_ = 0;
  return model.apply_report(chunk_.data(), kChunkBytes);
}

Verdict LinkReceiver::receive_ble(FirmwareModel& model, const uint8_t* data, size_t length) {
  // Over Bluetooth LE the polling rate is not the mouse's to change.
  if (length >= 1 && data[0] == kCmdRate) return Verdict::rejected(VM_REJECT_COMMAND);
  return model.apply_report(data, length);
}

}  // namespace norvane::vmouse
