#pragma once
// The profiles the program works on: the profile list with the selected index (the
// first field of the store's head block), the record being edited, what was last
// sent to the mouse, and whether the next apply must send everything.
//
// Threads: the UI thread changes the list and edits the current record; the worker
// thread takes a snapshot of the current record for an apply and saves the store.
// Both go through `mutex`, so a save never sees a torn list and an apply never reads
// a half-written record.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "core/profile_record.h"

namespace norvane {

// The profile list, in the order of the store and of the page's list.
using ProfileList = std::vector<std::unique_ptr<ProfileRecord>>;

struct ProfileState {
  mutable std::mutex mutex;
  ProfileList profiles;
  std::unique_ptr<ProfileStoreHead> head = std::make_unique<ProfileStoreHead>();
  ProfileRecord* current_profile = nullptr;
  std::unique_ptr<ProfileRecord> last_applied = std::make_unique<ProfileRecord>();
  std::atomic<bool> send_all{false};

  int32_t selected_profile_index() const { return head->selected_profile_index; }

  // Runs `edit` on the current record under the lock (UI thread edits).
  template <typename F>
  void edit_current(F&& edit) {
    std::lock_guard<std::mutex> lock(mutex);
    if (current_profile) edit(*current_profile);
  }

  // Points `current_profile` at the selected entry (null when the list is empty or the
  // index is out of range). Call with the lock held or before other threads run.
  void select_current_unlocked() {
    const int32_t i = head->selected_profile_index;
    current_profile = (i >= 0 && static_cast<size_t>(i) < profiles.size()) ? profiles[static_cast<size_t>(i)].get()
                                                                             : nullptr;
  }
};

}  // namespace norvane
