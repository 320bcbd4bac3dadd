#include "protocol/button_mapping_report.h"

#include "protocol/device_function_bytes.h"
#include "protocol/wire_reports.h"

namespace norvane {

Report build_button_mapping_report(const ProfileRecord& record) {
  ButtonMappingWire w{};
  w.head = wire_head<ButtonMappingWire>(kCmdButtonMapping);
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    w.buttons[slot] = device_function_bytes(slot, record.buttons[slot]);
  }
  seal(w);
  return to_report(w);
}

int send_button_mapping(ReportSink& sink, const ProfileRecord& record) {
  const Report report = build_button_mapping_report(record);
  return sink.send_report(report.view());
}

}  // namespace norvane
