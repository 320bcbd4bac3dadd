#pragma once
// The apply routine: sends what changed in the current profile since the last apply,
// section by section, then saves the profile store and remembers what reached the mouse.
//
// It works from a snapshot of the current record taken under ProfileState::mutex when the
// changed sections are worked out; that snapshot is what is sent, and its sections that
// reached the mouse become `last_applied`, so an edit the UI thread makes while reports go
// out, and a section no link delivered, both stay pending for the next apply. Runs on the
// device worker thread only.
//
// Macro buttons whose macros would overlap in the mouse's memory are resolved by
// plan_macro_blocks: the later button goes out disabled and its macro is not uploaded,
// the profile itself is left as it is, and the host hears which buttons were left out.
// The applier remembers which button's macro each block last received, so a macro whose
// blocks were written by another button since (or that was left out before) is
// uploaded again once it has room, even though its own data did not change; so is one
// whose upload did not arrive whole.

#include <array>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/link_state.h"
#include "core/profile_state.h"
#include "protocol/apply_host.h"
#include "protocol/dirty_sections.h"
#include "protocol/macro_blocks.h"
#include "protocol/macro_upload.h"
#include "protocol/report_sink.h"
#include "protocol/section_delivery.h"

namespace norvane {

enum class ApplyOutcome {
  applied,         // every changed section reached the mouse
  not_delivered,   // some did not: they stay pending
  mouse_sleeping,  // nothing sent; the changes stay pending (the store is saved)
  no_profile,      // the profile list is empty: nothing to send
  stopped,         // ended early at shut-down: what was not sent stays pending
};

class SettingsApplier {
 public:
  SettingsApplier(ProfileState& profiles, const LinkState& links, ReportSink& sink, Clock& clock,
                  ApplyHost& host);

  ApplyOutcome apply_settings();

  // Asked before each report and macro chunk; when it answers true (the program is
  // closing) the apply stops sending there, saves the store and remembers what had
  // arrived, so a long macro upload over a slow link cannot hold up shut-down.
  void set_stop_check(std::function<bool()> stop_requested) { stop_requested_ = std::move(stop_requested); }

  // The sections the last apply sent, and what of them reached the mouse.
  const DirtyFlags& last_dirty() const { return dirty_; }
  const SectionDelivery& last_delivery() const { return delivery_; }

 private:
  // Copies the current record and works out the changed sections, under the lock.
  bool take_snapshot();
  // False when the stop check ended it early.
  bool send_sections();
  // Puts what reached the mouse into `last_applied`; a full send that did not arrive
  // whole is owed again.
  void remember_delivered();
  // Records what became of one report (`section` null: the full-send opener).
  void note(bool DirtyFlags::*section, const SendOutcome& sent);
  bool stopping() const { return stop_requested_ && stop_requested_(); }
  // Whether slot k's macro must be uploaded in this apply.
  bool needs_upload(int k) const;
  // False when the stop check ended it early.
  bool upload_macros();

  ProfileState& profiles_;
  const LinkState& links_;
  ReportSink& sink_;
  ApplyHost& host_;
  MacroUploader uploader_;
  std::unique_ptr<ProfileRecord> snapshot_;
  DirtyFlags dirty_;
  SectionDelivery delivery_;
  MacroBlockPlan plan_;
  bool sent_buttons_ = false;  // the mapping or a macro went out in this apply
  bool send_all_ = false;
  std::function<bool()> stop_requested_;
  // The button whose macro each block of the mouse's macro memory last received
  // (-1: not known, taken to hold what the mapping expects).
  std::array<int, 256> block_writer_;
  // Buttons whose macro was left out while assigned: their blocks do not hold it.
  std::array<bool, kMouseButtons> left_out_{};
};

}  // namespace norvane
