#include "protocol/section_delivery.h"

#include <memory>
#include <mutex>

namespace norvane {

void SectionDelivery::begin(const DirtyFlags& dirty, const ProfileRecord& sent, bool full_send) {
  undelivered_ = sections_with_reports(dirty, sent);
  waiting_ = DirtyFlags{};
  full_send_ = full_send;
  opener_owed_ = full_send;
}

bool SectionDelivery::complete() const {
  if (opener_owed_) return false;
  DirtyFlags failed = undelivered_;
  failed.dpi = failed.dpi && !waiting_.dpi;
  failed.light = failed.light && !waiting_.light;
  failed.rate = failed.rate && !waiting_.rate;
  failed.buttons = failed.buttons && !waiting_.buttons;
  return !failed.any();
}

void SectionDelivery::remember(const ProfileRecord& sent, ProfileRecord& last_applied) const {
  if (!undelivered_.any()) {
    last_applied = sent;
    return;
  }
  auto merged = std::make_unique<ProfileRecord>(sent);
  copy_sections(undelivered_, last_applied, *merged);
  // The button slots went back whole with the mapping; the macros that did arrive are
  // taken again from what was sent.
  if (undelivered_.buttons) {
    DirtyFlags arrived_macros;
    for (size_t k = 0; k < arrived_macros.macro.size(); ++k) arrived_macros.macro[k] = !undelivered_.macro[k];
    copy_sections(arrived_macros, sent, *merged);
  }
  if (full_send_) mark_sections_unknown(undelivered_, *merged);
  last_applied = *merged;
}

DirtyFlags sections_with_reports(const DirtyFlags& dirty, const ProfileRecord& record) {
  DirtyFlags reports = dirty;
  reports.wakeup = false;  // no report carries it
  for (int k = 0; k < kMouseButtons; ++k) {
    if (record.buttons[k].function != kFunctionMacro) reports.macro[static_cast<size_t>(k)] = false;
  }
  return reports;
}

int count_changes(const DirtyFlags& dirty, const ProfileRecord& record) {
  const DirtyFlags reports = sections_with_reports(dirty, record);
  int count = reports.dpi + reports.light + reports.rate + reports.buttons;
  for (bool macro : reports.macro) count += macro;
  return count;
}

int pending_changes(const ProfileState& profiles) {
  std::lock_guard<std::mutex> lock(profiles.mutex);
  if (profiles.current_profile == nullptr || profiles.last_applied == nullptr) return 0;
  const ProfileRecord& current = *profiles.current_profile;
  const DirtyFlags dirty = profiles.send_all ? all_sections_dirty() : compare_sections(current, *profiles.last_applied);
  return count_changes(dirty, current);
}

}  // namespace norvane
