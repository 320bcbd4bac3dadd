#pragma once
// Keeps the macro copies inside the profiles in step with the macro library after the
// library changed (the macro editor closed): every assignable button slot (0..11) that
// names a macro gets that macro's current name, events and position again, or loses
// the macro when the library no longer has one of that name. No Qt.
//
// Threads: the profiles are shared with the worker's store save, so call it with
// ProfileState::mutex held.

#include "core/profile_record.h"
#include "storage/record_names.h"

namespace norvane {

struct MacroResyncResult {
  int refreshed = 0;  // slots that got the library's copy of their macro again
  int dropped = 0;    // slots whose macro is gone from the library
  // A slot of `current` was refreshed or dropped: its captions and the mouse need
  // the change.
  bool current_changed = false;
};

// For each profile and each slot 0..11 whose function is "macro" or whose macro name
// is not empty, looks the name up in `library` without regard to letter case:
// - found: copies the macro's name (zero-filled), event count, the 190 event records
//   and its position in the library into the slot;
// - not found, function "macro": clears the slot and gives it back its default
//   function;
// - not found, another function (a macro left behind by an earlier assignment): clears
//   only the macro fields, so the button keeps the function the user gave it.
MacroResyncResult resync_macros(ProfileList& profiles, const ProfileRecord* current, const MacroLibrary& library);

}  // namespace norvane
