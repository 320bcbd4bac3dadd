#pragma once
// Where built reports go: the report sender in the program, a recorder in tests.

#include <cstdint>
#include <span>

namespace norvane {

// What became of one report.
struct SendOutcome {
  int result = 0;          // the result of the link that took it; 0 when none did
  bool delivered = false;  // a link accepted it (over 2.4 GHz: the mouse acknowledged it)
  // Not delivered because no link that is up carries this kind of report (a polling
  // rate over Bluetooth LE alone): it waits for another link, and nothing failed.
  bool no_link_for_it = false;
};

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Sends one report; returns the result of the link that took it, 0 when none did.
  virtual int send_report(std::span<const uint8_t> report) = 0;
  // Sends one report and says whether it reached the mouse. A sink that knows no more
  // than its result counts a non-zero result as delivered.
  virtual SendOutcome deliver(std::span<const uint8_t> report) {
    const int result = send_report(report);
    return {result, result != 0};
  }
};

}  // namespace norvane
