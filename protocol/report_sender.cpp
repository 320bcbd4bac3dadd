#include "protocol/report_sender.h"

#include "core/trace.h"
#include "protocol/link_frames.h"
#include "protocol/report.h"

namespace norvane {

SendOutcome ReportSender::deliver(std::span<const uint8_t> report) {
  SendOutcome sent;
  bool over_wireless = false;
  if (!report.empty() && !stopping()) {
    const uint8_t command = report[0];
    const bool macro_chunk = command == kCmdMacroChunk;
    bool taken = false;

    if (links_.wired_state == kLinkPresent) {
      const Attempt wired = send_wired(report, macro_chunk);
      taken = wired.outcome == Outcome::taken;
      sent = wired.sent;
    }
    if (!taken) {
      if (links_.wireless_8k_state == kLinkPresent && links_.wireless_8k_online != 0) {
        sent = send_8k(report, macro_chunk);
      } else if (links_.wireless_state == kLinkPresent && links_.wireless_online != 0) {
        sent = send_wireless(report, macro_chunk);
        over_wireless = true;
      } else if (links_.ble_present != 0 && command != kCmdPollingRate) {
        const int result = endpoints_.ble_write(report);
        sent = {result, result > 0};
      } else if (links_.ble_present != 0) {
        sent = {.no_link_for_it = true};
      } else {
        sent = {};
      }
    }
  }
  if (stopping()) return sent;
  clock_.sleep_ms(kPauseAfterReportMs);
  // An acknowledgement that came during the last pause still counts.
  if (over_wireless && !sent.delivered) sent.delivered = links_.wireless_ack != 0;
  return sent;
}

ReportSender::Attempt ReportSender::send_wired(std::span<const uint8_t> report, bool macro_chunk) {
  if (!macro_chunk) {
    const int result = endpoints_.wired_set_feature(report);
    return {Outcome::taken, {result, result > 0}};
  }

  const MacroChunkImage chunk = macro_chunk_image(report);
  int last = 0;
  bool every_part = true;
  for (int part = 0; part < 2; ++part) {
    if (stopping()) return {Outcome::taken, {last, false}};
    const FeaturePart bytes = wired_macro_part(chunk, part);
    last = endpoints_.wired_set_feature(bytes);
    every_part = every_part && last > 0;
    if (last != 0) clock_.sleep_ms(kPauseAfterMacroPartMs);
  }
  // Only the second part decides: when the cable did not take it, the next link carries
  // the chunk.
  if (last != 0) return {Outcome::taken, {last, every_part}};
  return {Outcome::not_taken, {}};
}

SendOutcome ReportSender::send_8k(std::span<const uint8_t> report, bool macro_chunk) {
  // The receiver's own results say whether it took the frames; the caller is told 0.
  if (!macro_chunk) {
    const auto frame = frame_8k_general(report);
    if (!frame) {
      trace("8K report too long = %zu", report.size());
      return {};
    }
    return {0, endpoints_.wireless_8k_write(*frame) > 0};
  }

  const MacroChunkImage chunk = macro_chunk_image(report);
  const bool first_taken = endpoints_.wireless_8k_write(frame_8k_macro_first(chunk)) > 0;
  clock_.sleep_ms(kPauseAfterMacroPartMs);
  if (stopping()) return {};

  const Frame8k second = frame_8k_macro_second(chunk);
  uint32_t running = 0;
  for (size_t i = 0; i < k8kSecondFrameSumAt; ++i) {
    running = (running + second[i]) & 0xFFFF;
    trace("wCheckSum = %x, buffer[%d] = %d", running, static_cast<int>(i), second[i]);
  }
  const bool second_taken = endpoints_.wireless_8k_write(second) > 0;
  clock_.sleep_ms(kPauseAfterMacroPartMs);
  return {0, first_taken && second_taken};
}

SendOutcome ReportSender::send_wireless(std::span<const uint8_t> report, bool macro_chunk) {
  links_.wireless_ack = 0;
  int result = 0;
  if (!macro_chunk) {
    for (int attempt = 0; attempt < kWirelessAttempts; ++attempt) {
      if (links_.wireless_ack != 0) return {result, true};
      if (stopping()) return {result, false};
      result = endpoints_.wireless_set_feature(report);
      trace("Wireless Send = %d", result);
      clock_.sleep_ms(kPauseAfterWirelessAttemptMs);
    }
    return {result, links_.wireless_ack != 0};
  }

  const MacroChunkImage chunk = macro_chunk_image(report);
  for (int round = 0; round < kWirelessAttempts; ++round) {
    if (links_.wireless_ack != 0) return {result, true};
    for (int part = 0; part < 3; ++part) {
      if (stopping()) return {result, false};
      result = endpoints_.wireless_set_feature(wireless_macro_part(chunk, part));
      clock_.sleep_ms(kPauseAfterWirelessPartMs);
    }
  }
  return {result, links_.wireless_ack != 0};
}

}  // namespace norvane
