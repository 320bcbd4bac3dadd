#pragma once
// Where built reports go: the report sender in the program, a recorder in tests.

#include <cstdint>
#include <span>

namespace norvane {

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Sends one report; returns the result of the link that took it, 0 when none did.
  virtual int send_report(std::span<const uint8_t> report) = 0;
};

}  // namespace norvane
