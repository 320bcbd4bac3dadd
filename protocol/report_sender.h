#pragma once
// The one send operation: every report to the mouse goes through `send_report`, which
// picks the first usable link, wraps or splits the report for it and paces the link.
//
// Link order: cable; 8 kHz receiver when present and the mouse is heard through it;
// 2.4 GHz receiver likewise; Bluetooth LE (never for polling-rate reports). Every call
// ends with a 1,000 ms pause, whatever happened, unless the program is closing. Runs on
// the device worker thread only; the link flags are atomics kept by the UI thread, and
// `wireless_ack` is cleared here before each 2.4 GHz send and polled between attempts.
//
// A report counts as delivered when the link accepted it: the cable's SetFeature, the
// 8 kHz receiver's WriteUSB and the Bluetooth LE write answered with a positive result
// for every transfer of it; over 2.4 GHz only the mouse's acknowledgement counts (the
// receiver takes reports for a mouse that sleeps).

#include <cstdint>
#include <functional>
#include <span>
#include <utility>

#include "core/clock.h"
#include "core/link_state.h"
#include "protocol/link_endpoints.h"
#include "protocol/report_sink.h"

namespace norvane {

// Pacing of the links, in milliseconds.
inline constexpr int kPauseAfterReportMs = 1000;
inline constexpr int kPauseAfterMacroPartMs = 200;      // cable part, 8 kHz frame
inline constexpr int kPauseAfterWirelessAttemptMs = 500;
inline constexpr int kPauseAfterWirelessPartMs = 1000;  // 2.4 GHz macro part
inline constexpr int kWirelessAttempts = 10;

class ReportSender final : public ReportSink {
 public:
  ReportSender(LinkState& links, LinkEndpoints& endpoints, Clock& clock)
      : links_(links), endpoints_(endpoints), clock_(clock) {}

  // Returns the result of the link that took the report (the 8 kHz receiver's result is
  // not kept and gives 0); 0 when no link took it.
  int send_report(std::span<const uint8_t> report) override { return deliver(report).result; }
  SendOutcome deliver(std::span<const uint8_t> report) override;

  // Asked before every attempt, macro part and round, and before the closing pause: once
  // it answers true (the program is closing) the report is given up there, undelivered,
  // so no send holds shut-down up for longer than the pause already under way.
  void set_stop_check(std::function<bool()> stop_requested) { stop_requested_ = std::move(stop_requested); }

 private:
  enum class Outcome { taken, not_taken };
  struct Attempt {
    Outcome outcome;
    SendOutcome sent;
  };

  Attempt send_wired(std::span<const uint8_t> report, bool macro_chunk);
  SendOutcome send_8k(std::span<const uint8_t> report, bool macro_chunk);
  SendOutcome send_wireless(std::span<const uint8_t> report, bool macro_chunk);
  bool stopping() const { return stop_requested_ && stop_requested_(); }

  LinkState& links_;
  LinkEndpoints& endpoints_;
  Clock& clock_;
  std::function<bool()> stop_requested_;
};

}  // namespace norvane
