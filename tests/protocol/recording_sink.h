#pragma once
// A ReportSink that keeps every report it is given.

#include <cstdint>
#include <span>
#include <vector>

#include "protocol/report_sink.h"

namespace norvane::test {

class RecordingSink final : public ReportSink {
 public:
  int send_report(std::span<const uint8_t> report) override {
    reports.emplace_back(report.begin(), report.end());
    return 1;
  }
  std::vector<std::vector<uint8_t>> reports;
};

}  // namespace norvane::test
