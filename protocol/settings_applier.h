#pragma once
// The apply routine: sends what changed in the current profile since the last apply,
// section by section, then saves the profile store and remembers what was sent.
//
// It works from a snapshot of the current record taken under PageProfiles::mutex when the
// changed sections are worked out; that snapshot is what is sent and what becomes
// `last_applied`, so an edit the UI thread makes while reports go out stays pending for
// the next apply. Runs on the device worker thread only.

#include <memory>

#include "app/clock.h"
#include "device/link_state.h"
#include "protocol/apply_host.h"
#include "protocol/macro_upload.h"
#include "protocol/report_sink.h"
#include "settings/page_state.h"

namespace norvane {

enum class ApplyOutcome {
  applied,
  mouse_sleeping,  // nothing sent, saved or remembered
  no_profile,      // the profile list is empty: nothing to send
};

class SettingsApplier {
 public:
  SettingsApplier(PageProfiles& profiles, const LinkState& links, ReportSink& sink, Clock& clock,
                  ApplyHost& host);

  ApplyOutcome apply_settings();

  // The sections the last completed apply sent.
  const DirtyFlags& last_dirty() const { return dirty_; }

 private:
  // Copies the current record and works out the changed sections, under the lock.
  bool take_snapshot();
  void send_sections();

  PageProfiles& profiles_;
  const LinkState& links_;
  ReportSink& sink_;
  ApplyHost& host_;
  MacroUploader uploader_;
  std::unique_ptr<ProfileRecord> snapshot_;
  DirtyFlags dirty_;
  bool send_all_ = false;
};

}  // namespace norvane
