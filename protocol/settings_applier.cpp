#include "protocol/settings_applier.h"

#include <mutex>

#include "protocol/button_mapping_report.h"
#include "protocol/dirty_sections.h"
#include "protocol/settings_reports.h"

namespace norvane {

SettingsApplier::SettingsApplier(PageProfiles& profiles, const LinkState& links, ReportSink& sink, Clock& clock,
                                 ApplyHost& host)
    : profiles_(profiles),
      links_(links),
      sink_(sink),
      host_(host),
      uploader_(sink, clock),
      snapshot_(std::make_unique<ProfileRecord>()) {}

ApplyOutcome SettingsApplier::apply_settings() {
  // While the mouse sleeps changes stay pending: `last_applied` keeps the old values.
  if (links_.mouse_sleeping == 1) return ApplyOutcome::mouse_sleeping;
  if (!take_snapshot()) return ApplyOutcome::no_profile;

  host_.kill_watchdogs();
  host_.show_apply_ring(true);
  send_sections();
  host_.restart_watchdogs();
  host_.save_profile_store();
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    *profiles_.last_applied = *snapshot_;
  }
  host_.show_apply_ring(false);
  return ApplyOutcome::applied;
}

bool SettingsApplier::take_snapshot() {
  std::lock_guard<std::mutex> lock(profiles_.mutex);
  if (profiles_.current_profile == nullptr) return false;
  *snapshot_ = *profiles_.current_profile;
  // Taken here rather than cleared after sending, so a full send asked for while this
  // apply runs (another profile selected) is not lost.
  send_all_ = profiles_.send_all.exchange(false);
  dirty_ = send_all_ ? all_sections_dirty() : compare_sections(*snapshot_, *profiles_.last_applied);
  return true;
}

void SettingsApplier::send_sections() {
  const ProfileRecord& record = *snapshot_;
  // Send results are not inspected: a section no link took counts as applied and goes
  // out again with its next change.
  if (send_all_) sink_.send_report(build_full_send_opener().view());
  if (dirty_.dpi) sink_.send_report(build_dpi_report(record).view());
  if (dirty_.light) sink_.send_report(build_light_report(record).view());
  if (dirty_.rate) sink_.send_report(build_polling_rate_report(record).view());
  if (dirty_.buttons) send_button_mapping(sink_, record);
  for (int k = 0; k < kMouseButtons; ++k) {
    if (record.buttons[k].function == kFunctionMacro && dirty_.macro[static_cast<size_t>(k)]) {
      uploader_.upload_macro(record, k);
    }
  }
}

}  // namespace norvane
