#pragma once
// Repairs of loaded records that break the invariants the rest of the program relies
// on: every name ends in a zero inside its field, and no macro holds more than 190
// events (nor a negative count). In a profile, every value the page shows or a report
// sends is checked against its range as well (the settings table's rows, and the
// function, shortcut modifiers, macro mode and repeat count of the page's buttons):
// a value outside it is set to that field's default and the rest of the record is
// kept. Each repair adds one line to `notes`.

#include <string>
#include <vector>

#include "core/macro_record.h"
#include "core/profile_record.h"

namespace norvane {

using RepairNotes = std::vector<std::string>;

// `index` is the record's position in its store, used in the notes.
void repair_profile_record(ProfileRecord& record, size_t index, RepairNotes& notes);
void repair_macro_record(MacroRecord& record, size_t index, RepairNotes& notes);

}  // namespace norvane
