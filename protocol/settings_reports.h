#pragma once
// The settings reports built from a profile record: the full-send opener (0x0C), DPI and
// sensor (0x04), lighting and power (0x05) and polling rate (0x06).

#include "core/profile_record.h"
#include "protocol/report.h"

namespace norvane {

Report build_full_send_opener();
Report build_dpi_report(const ProfileRecord& record);
Report build_light_report(const ProfileRecord& record);
Report build_polling_rate_report(const ProfileRecord& record);

}  // namespace norvane
