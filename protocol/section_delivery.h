#pragma once
// What one apply got through to the mouse, section by section. A section counts as
// applied only once a link accepted its report; the record of what the mouse holds
// (`last_applied`) takes the values of the delivered sections only, so the others stay
// different from the current record and go out with the next apply.

#include "core/profile_record.h"
#include "core/profile_state.h"
#include "protocol/dirty_sections.h"

namespace norvane {

class SectionDelivery {
 public:
  // Starts the record of an apply that sends the sections `dirty` of `sent` (after the
  // full-send opener when `full_send`). Sections no report is sent for (wake-up, the
  // macro of a button without one) count as delivered from the start.
  void begin(const DirtyFlags& dirty, const ProfileRecord& sent, bool full_send);

  // A report of the section reached the mouse.
  void opener_delivered() { opener_owed_ = false; }
  void delivered(bool DirtyFlags::*section) { undelivered_.*section = false; }
  void macro_delivered(int slot) { undelivered_.macro[static_cast<size_t>(slot)] = false; }
  // No link that is up carries the section's report: it stays pending for another
  // link, without counting as a failure.
  void waits_for_another_link(bool DirtyFlags::*section) { waiting_.*section = true; }

  // Every report a link that is up could carry reached the mouse.
  bool complete() const;
  // The full-send opener did not arrive: the full send is owed again, whole.
  bool full_send_owed() const { return opener_owed_; }
  // The sections that did not reach the mouse, those waiting for another link included.
  const DirtyFlags& undelivered() const { return undelivered_; }

  // `last_applied` becomes `sent` except in the sections that did not reach the mouse:
  // those keep the values `last_applied` had, or, after a full send (when those values
  // say nothing about the mouse), are marked unknown so they go out again.
  void remember(const ProfileRecord& sent, ProfileRecord& last_applied) const;

 private:
  DirtyFlags undelivered_;
  DirtyFlags waiting_;
  bool full_send_ = false;
  bool opener_owed_ = false;
};

// The sections of `dirty` that an apply sends a report for: DPI, lighting, polling rate,
// buttons, and the macro of each macro-assigned button.
DirtyFlags sections_with_reports(const DirtyFlags& dirty, const ProfileRecord& record);
// How many of those there are: what the page calls the changes.
int count_changes(const DirtyFlags& dirty, const ProfileRecord& record);

// The changes the mouse has not taken yet: the differences between the current record
// and `last_applied`, or every section while a full send is owed. 0 without a current
// profile. Takes ProfileState::mutex.
int pending_changes(const ProfileState& profiles);

}  // namespace norvane
