#include "protocol/settings_applier.h"

#include <mutex>

#include "protocol/button_mapping_report.h"
#include "protocol/dirty_sections.h"
#include "protocol/settings_reports.h"

namespace norvane {

SettingsApplier::SettingsApplier(ProfileState& profiles, const LinkState& links, ReportSink& sink, Clock& clock,
                                 ApplyHost& host)
    : profiles_(profiles),
      links_(links),
      sink_(sink),
      host_(host),
      uploader_(sink, clock),
      snapshot_(std::make_unique<ProfileRecord>()) {
  block_writer_.fill(-1);
}

ApplyOutcome SettingsApplier::apply_settings() {
  // While the mouse sleeps changes stay pending: `last_applied` keeps the old values.
  // The store still keeps what the user set.
  if (links_.mouse_sleeping == 1) {
    bool loaded = false;
    {
      std::lock_guard<std::mutex> lock(profiles_.mutex);
      loaded = profiles_.current_profile != nullptr;
    }
    if (loaded) host_.save_profile_store();
    return ApplyOutcome::mouse_sleeping;
  }
  if (!take_snapshot()) return ApplyOutcome::no_profile;

  host_.kill_watchdogs();
  host_.show_apply_ring(true);
  const bool finished = send_sections();
  host_.restart_watchdogs();
  host_.save_profile_store();
  remember_delivered();
  for (const MacroOverlap& overlap : plan_.overlaps) left_out_[static_cast<size_t>(overlap.slot)] = true;
  host_.show_apply_ring(false);
  if (!finished) return ApplyOutcome::stopped;
  if (sent_buttons_) host_.report_macro_overlaps(plan_.overlaps);
  return delivery_.complete() ? ApplyOutcome::applied : ApplyOutcome::not_delivered;
}

bool SettingsApplier::take_snapshot() {
  std::lock_guard<std::mutex> lock(profiles_.mutex);
  if (profiles_.current_profile == nullptr) return false;
  *snapshot_ = *profiles_.current_profile;
  // Taken here rather than cleared after sending, so a full send asked for while this
  // apply runs (another profile selected) is not lost.
  send_all_ = profiles_.send_all.exchange(false);
  dirty_ = send_all_ ? all_sections_dirty() : compare_sections(*snapshot_, *profiles_.last_applied);
  delivery_.begin(dirty_, *snapshot_, send_all_);
  return true;
}

void SettingsApplier::note(bool DirtyFlags::*section, const SendOutcome& sent) {
  if (section == nullptr) {
    if (sent.delivered) delivery_.opener_delivered();
  } else if (sent.delivered) {
    delivery_.delivered(section);
  } else if (sent.no_link_for_it) {
    delivery_.waits_for_another_link(section);
  }
}

bool SettingsApplier::send_sections() {
  const ProfileRecord& record = *snapshot_;
  plan_ = plan_macro_blocks(record);
  sent_buttons_ = dirty_.buttons;
  const struct {
    bool dirty;
    bool DirtyFlags::*section;  // null for the opener
    Report (*build)(const ProfileRecord&);
  } reports[] = {
      {send_all_, nullptr, [](const ProfileRecord&) { return build_full_send_opener(); }},
      {dirty_.dpi, &DirtyFlags::dpi, build_dpi_report},
      {dirty_.light, &DirtyFlags::light, build_light_report},
      {dirty_.rate, &DirtyFlags::rate, build_polling_rate_report},
  };
  for (const auto& r : reports) {
    if (!r.dirty) continue;
    if (stopping()) return false;
    note(r.section, sink_.deliver(r.build(record).view()));
  }
  if (dirty_.buttons) {
    if (stopping()) return false;
    note(&DirtyFlags::buttons, sink_.deliver(build_button_mapping_report(record, plan_).view()));
  }
  return upload_macros();
}

bool SettingsApplier::needs_upload(int k) const {
  const size_t slot = static_cast<size_t>(k);
  const ProfileRecord& record = *snapshot_;
  if (record.buttons[k].function != kFunctionMacro || plan_.skipped[slot]) return false;
  if (dirty_.macro[slot] || left_out_[slot]) return true;
  const MacroBlockRange range = macro_block_range(k, record.buttons[k]);
  for (int block = range.first; block <= range.last(); ++block) {
    const int writer = block_writer_[static_cast<size_t>(block & 0xFF)];
    if (writer >= 0 && writer != k) return true;
  }
  return false;
}

bool SettingsApplier::upload_macros() {
  const ProfileRecord& record = *snapshot_;
  const std::function<bool()> stop = [this] { return stopping(); };
  for (int k = 0; k < kMouseButtons; ++k) {
    const size_t slot = static_cast<size_t>(k);
    // A macro left out for want of room is not owed: the user hears about it, and it goes
    // once it has room (left_out_).
    if (plan_.skipped[slot]) delivery_.macro_delivered(k);
    if (!needs_upload(k)) continue;
    sent_buttons_ = true;
    const MacroUploadOutcome upload = uploader_.upload_macro(record, k, stop);
    // Blocks of an upload cut short hold part of this macro and no longer the old one.
    const MacroBlockRange range = macro_block_range(k, record.buttons[k]);
    for (int block = range.first; block <= range.last(); ++block) block_writer_[static_cast<size_t>(block & 0xFF)] = k;
    if (upload.stopped) return false;
    // One that did not arrive whole is uploaded again with the next apply.
    left_out_[slot] = !upload.delivered;
    if (upload.delivered) delivery_.macro_delivered(k);
  }
  return true;
}

void SettingsApplier::remember_delivered() {
  std::lock_guard<std::mutex> lock(profiles_.mutex);
  delivery_.remember(*snapshot_, *profiles_.last_applied);
  if (delivery_.full_send_owed()) profiles_.send_all = true;
}

}  // namespace norvane
