#include "protocol/button_mapping_report.h"

#include "protocol/device_function_bytes.h"
#include "protocol/report_sum.h"

namespace norvane {

Report build_button_mapping_report(const ProfileRecord& record) {
  Report r;
  r.length = kButtonMappingReportLength;
  r.bytes[0] = kCmdButtonMapping;
  r.bytes[1] = static_cast<uint8_t>(kButtonMappingReportLength);
  r.bytes[2] = 0x01;
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    const DeviceBytes device = device_function_bytes(slot, record.buttons[slot]);
    const size_t at = 3 + 3 * static_cast<size_t>(slot);
    r.bytes[at] = device[0];
    r.bytes[at + 1] = device[1];
    r.bytes[at + 2] = device[2];
  }
  put_sum_high_first(r.bytes, 57, report_sum(r.bytes, 3, 56));
  return r;
}

int send_button_mapping(ReportSink& sink, const ProfileRecord& record) {
  const Report report = build_button_mapping_report(record);
  return sink.send_report(report.view());
}

}  // namespace norvane
