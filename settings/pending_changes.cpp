#include "settings/pending_changes.h"

#include <algorithm>
#include <string>

#include "protocol/section_delivery.h"
#include "settings/page_controls.h"

namespace norvane {

namespace {

constexpr char kOneChangeKey[] = "pending_change_text";
constexpr char kChangesKey[] = "pending_changes_text";

}  // namespace

void PendingChanges::apply_finished(ApplyOutcome outcome, int pending) {
  switch (outcome) {
    case ApplyOutcome::applied:
      failures_ = 0;
      waiting_ = false;
      break;
    case ApplyOutcome::not_delivered:
      ++failures_;
      events_heard_ = 0;
      waiting_ = pending > 0;
      break;
    case ApplyOutcome::mouse_sleeping:
      waiting_ = pending > 0;
      break;
    case ApplyOutcome::no_profile:
    case ApplyOutcome::stopped:
      return;
  }
  show(waiting_ ? pending : 0);
}

void PendingChanges::mouse_reachable(MouseReach how) {
  if (how == MouseReach::back) {
    failures_ = 0;
    events_heard_ = 0;
    request_if_pending();
    return;
  }
  if (!waiting_) return;
  if (++events_heard_ < events_between_retries()) return;
  events_heard_ = 0;
  request_if_pending();
}

void PendingChanges::request_if_pending() {
  if (pending_changes(profiles_) > 0) hooks_.request_apply();
}

int PendingChanges::events_between_retries() const {
  if (failures_ <= 1) return 1;
  return 1 << std::min(failures_ - 1, 5);  // 2, 4, ... 32
}

void PendingChanges::show(int pending) {
  using page_controls::kPendingChangesLabel;
  if (pending <= 0) {
    view_.set_visible(kPendingChangesLabel, false);
    return;
  }
  view_.set_plain_text(kPendingChangesLabel, pending_changes_line(pending, hooks_.language_string(kOneChangeKey),
                                                                  hooks_.language_string(kChangesKey)));
  view_.set_visible(kPendingChangesLabel, true);
}

std::string pending_changes_line(int count, const std::string& one, const std::string& many) {
  if (count == 1) return one;
  std::string line = many;
  const size_t at = line.find("%d");
  const std::string number = std::to_string(count);
  if (at == std::string::npos) return number + " " + line;
  return line.replace(at, 2, number);
}

}  // namespace norvane
