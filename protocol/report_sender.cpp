#include "protocol/report_sender.h"

#include "core/trace.h"
#include "protocol/link_frames.h"
#include "protocol/report.h"

namespace norvane {

int ReportSender::send_report(std::span<const uint8_t> report) {
  int result = 0;
  if (!report.empty()) {
    const uint8_t command = report[0];
    const bool macro_chunk = command == kCmdMacroChunk;
    bool taken = false;

    if (links_.wired_state == kLinkPresent) {
      const Attempt wired = send_wired(report, macro_chunk);
      taken = wired.outcome == Outcome::taken;
      result = wired.result;
    }
    if (!taken) {
      if (links_.wireless_8k_state == kLinkPresent && links_.wireless_8k_online != 0) {
        result = send_8k(report, macro_chunk);
      } else if (links_.wireless_state == kLinkPresent && links_.wireless_online != 0) {
        result = send_wireless(report, macro_chunk);
      } else if (links_.ble_present != 0 && command != kCmdPollingRate) {
        result = endpoints_.ble_write(report);
      } else {
        result = 0;
      }
    }
  }
  clock_.sleep_ms(kPauseAfterReportMs);
  return result;
}

ReportSender::Attempt ReportSender::send_wired(std::span<const uint8_t> report, bool macro_chunk) {
  if (!macro_chunk) return {Outcome::taken, endpoints_.wired_set_feature(report)};

  const MacroChunkImage chunk = macro_chunk_image(report);
  int last = 0;
  for (int part = 0; part < 2; ++part) {
    const FeaturePart bytes = wired_macro_part(chunk, part);
    last = endpoints_.wired_set_feature(bytes);
    if (last != 0) clock_.sleep_ms(kPauseAfterMacroPartMs);
  }
  // Only the second part decides: when the cable did not take it, the next link carries
  // the chunk.
  if (last != 0) return {Outcome::taken, last};
  return {Outcome::not_taken, 0};
}

int ReportSender::send_8k(std::span<const uint8_t> report, bool macro_chunk) {
  if (!macro_chunk) {
    const auto frame = frame_8k_general(report);
    if (!frame) {
      trace("8K report too long = %zu", report.size());
      return 0;
    }
    endpoints_.wireless_8k_write(*frame);
    return 0;
  }

  const MacroChunkImage chunk = macro_chunk_image(report);
  endpoints_.wireless_8k_write(frame_8k_macro_first(chunk));
  clock_.sleep_ms(kPauseAfterMacroPartMs);

  const Frame8k second = frame_8k_macro_second(chunk);
  uint32_t running = 0;
  for (size_t i = 0; i < k8kSecondFrameSumAt; ++i) {
    running = (running + second[i]) & 0xFFFF;
    trace("wCheckSum = %x, buffer[%d] = %d", running, static_cast<int>(i), second[i]);
  }
  endpoints_.wireless_8k_write(second);
  clock_.sleep_ms(kPauseAfterMacroPartMs);
  return 0;
}

int ReportSender::send_wireless(std::span<const uint8_t> report, bool macro_chunk) {
  links_.wireless_ack = 0;
  int result = 0;
  if (!macro_chunk) {
    for (int attempt = 0; attempt < kWirelessAttempts; ++attempt) {
      if (links_.wireless_ack != 0) break;
      result = endpoints_.wireless_set_feature(report);
      trace("Wireless Send = %d", result);
      clock_.sleep_ms(kPauseAfterWirelessAttemptMs);
    }
    return result;
  }

  const MacroChunkImage chunk = macro_chunk_image(report);
  for (int round = 0; round < kWirelessAttempts; ++round) {
    if (links_.wireless_ack != 0) break;
    for (int part = 0; part < 3; ++part) {
      result = endpoints_.wireless_set_feature(wireless_macro_part(chunk, part));
      clock_.sleep_ms(kPauseAfterWirelessPartMs);
    }
  }
  return result;
}

}  // namespace norvane
