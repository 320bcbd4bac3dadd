#include "protocol/button_mapping_report.h"

#include "protocol/device_function_bytes.h"
#include "protocol/wire_reports.h"

namespace norvane {

namespace {

constexpr uint8_t kFunctionOff = 0;

}  // namespace

Report build_button_mapping_report(const ProfileRecord& record) {
  return build_button_mapping_report(record, plan_macro_blocks(record));
}

Report build_button_mapping_report(const ProfileRecord& record, const MacroBlockPlan& plan) {
  ButtonMappingWire w{};
  w.head = wire_head<ButtonMappingWire>(kCmdButtonMapping);
  for (int slot = 0; slot < kMouseButtons; ++slot) {
    w.buttons[slot] = plan.skipped[static_cast<size_t>(slot)] ? find_button_function(kFunctionOff)->device_bytes
                                                              : device_function_bytes(slot, record.buttons[slot]);
  }
  seal(w);
  return to_report(w);
}

int send_button_mapping(ReportSink& sink, const ProfileRecord& record) {
  const Report report = build_button_mapping_report(record);
  return sink.send_report(report.view());
}

}  // namespace norvane
