#pragma once
// The button mapping report (0x08): the three device bytes of each of the 18 buttons.

#include "core/profile_record.h"
#include "protocol/report.h"
#include "protocol/report_sink.h"

namespace norvane {

Report build_button_mapping_report(const ProfileRecord& record);

// Builds the report from `record` and sends it (59 bytes); returns the send result.
int send_button_mapping(ReportSink& sink, const ProfileRecord& record);

}  // namespace norvane
