#pragma once
// Turning a checked profile file record into a new profile of the list: a free name
// for it, and each of its macro buttons' macros added to the macro library, so that
// they can be edited and assigned again. A button that runs a macro carries its own
// copy of the macro, which is what the library receives.

#include <string_view>

#include "core/macro_library.h"
#include "core/profile_state.h"

namespace norvane {

struct ImportNaming {
  std::u16string_view add_profile_text;  // base of the name of a profile that has none
  std::u16string_view add_macro_text;    // base of the name of a macro that has none
};

// Prepares `record` to join `profiles` (it is not appended here):
// - its name becomes free in `profiles` ("name", else "name_1", "name_2", ...); a
//   record without a name is named like a new profile;
// - for each button 1..18 that runs a macro, in button order, a macro with the slot's
//   name made free in `library`, the slot's repeat count, event count and events is
//   appended to `library`, and the slot takes the macro's name and library index.
// Returns the number of macros appended.
int adopt_imported_profile(ProfileRecord& record, const ProfileList& profiles, MacroLibrary& library,
                           const ImportNaming& naming);

}  // namespace norvane
