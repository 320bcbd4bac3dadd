#pragma once
// The changes that have not reached the mouse yet, and when to send them again.
//
// After an apply that found the mouse asleep or could not get every section through,
// a line under the link icons says how many changes wait ("3 changes waiting for the
// mouse"); an apply that delivers everything takes it away. When the mouse can be
// reached again (it woke, its receiver hears it again, the cable came back, Bluetooth
// LE connected) an apply is asked for if anything is pending, a full send still owed
// included. An ordinary event from a reachable mouse asks for one only while changes
// are known to be waiting, and after repeated failures only on every 2nd, 4th, ... up
// to every 32nd event, so a mouse that talks but never acknowledges is not kept busy
// with retries. UI thread only.

#include "core/profile_state.h"
#include "device/link_sink.h"
#include "protocol/settings_applier.h"
#include "settings/link_page_hooks.h"
#include "settings/page_view.h"

namespace norvane {

inline constexpr int kMaxEventsBetweenRetries = 32;

class PendingChanges {
 public:
  PendingChanges(PageView& view, const ProfileState& profiles, LinkPageHooks& hooks)
      : view_(view), profiles_(profiles), hooks_(hooks) {}

  // An apply ended with `outcome`, leaving `pending` changes (counted on the worker
  // right after it).
  void apply_finished(ApplyOutcome outcome, int pending);
  // What the link side learned (LinkSink::mouse_reachable).
  void mouse_reachable(MouseReach how);

  // Changes are known not to have reached the mouse.
  bool waiting() const { return waiting_; }

 private:
  void request_if_pending();
  void show(int pending);
  int events_between_retries() const;

  PageView& view_;
  const ProfileState& profiles_;
  LinkPageHooks& hooks_;
  bool waiting_ = false;
  int failures_ = 0;       // applies in a row that left something undelivered
  int events_heard_ = 0;   // events from the mouse since the last failure or retry
};

// "1 change waiting for the mouse", "3 changes waiting for the mouse": `many` holds
// "%d" where the number goes.
std::string pending_changes_line(int count, const std::string& one, const std::string& many);

}  // namespace norvane
