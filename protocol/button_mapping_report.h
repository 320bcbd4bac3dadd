#pragma once
// The button mapping report (0x08): the three device bytes of each of the 18 buttons.
// A macro button whose macro would overlap an earlier one in the mouse's memory
// (plan_macro_blocks) is sent as a disabled button instead of pointing at blocks that
// hold another button's macro.

#include "core/profile_record.h"
#include "protocol/macro_blocks.h"
#include "protocol/report.h"
#include "protocol/report_sink.h"

namespace norvane {

Report build_button_mapping_report(const ProfileRecord& record);
Report build_button_mapping_report(const ProfileRecord& record, const MacroBlockPlan& plan);

// Builds the report from `record` and sends it (59 bytes); returns the send result.
int send_button_mapping(ReportSink& sink, const ProfileRecord& record);

}  // namespace norvane
