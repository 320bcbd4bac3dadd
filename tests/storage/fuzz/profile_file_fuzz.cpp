// Feeds arbitrary files to the profile import: reading a profile file and adopting it
// into a list and a library. A file of the wrong size must be refused; any other file
// must become a record whose names end inside their fields, whose macro counts are at
// most 190 and whose shown values lie in their ranges (a second check finds nothing
// to set right), and each macro button must add one uniquely named macro.

#include <cstdint>
#include <cstring>

#include "core/profile_defaults.h"
#include "core/setting_table.h"
#include "fuzz_support.h"
#include "storage/case_fold.h"
#include "storage/profile_file.h"
#include "storage/profile_import.h"
#include "storage/record_names.h"

using namespace norvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFolder folder;
  folder.clear();
  const std::vector<uint8_t> bytes = fuzz::file_for_input(data, size, 0, kProfileFileBytes);
  folder.write("input.pro", bytes);

  ProfileFileRead read = read_profile_file(folder.path() + "/input.pro");
  NORVANE_FUZZ_CHECK(read.ok() == (bytes.size() == kProfileFileBytes));
  if (!read.ok()) return 0;

  ProfileRecord& record = *read.record;
  NORVANE_FUZZ_CHECK(fix_out_of_range_settings(record).empty());

  ProfileList profiles;
  profiles.push_back(std::make_unique<ProfileRecord>());
  reset_profile_defaults(*profiles.back());
  set_field_name(profiles.back()->name, field_name(record.name));
  MacroLibrary library;
  library.push_back(std::make_unique<MacroRecord>());
  set_field_name(library.back()->name, field_name(record.buttons[0].macro_name));

  int macro_buttons = 0;
  for (int k = 0; k < kMouseButtons; ++k) macro_buttons += record.buttons[k].function == kFunctionMacro ? 1 : 0;
  const int added = adopt_imported_profile(record, profiles, library, {u"Profile ", u"Macro "});
  NORVANE_FUZZ_CHECK(added == macro_buttons);
  NORVANE_FUZZ_CHECK(library.size() == static_cast<size_t>(added) + 1);

  NORVANE_FUZZ_CHECK(field_name(record.name).size() < kProfileNameUnits);
  NORVANE_FUZZ_CHECK(!field_name(record.name).empty());
  NORVANE_FUZZ_CHECK(!name_exists(profiles, field_name(record.name)));
  for (const ButtonSlot& slot : record.buttons) {
    NORVANE_FUZZ_CHECK(field_name(slot.macro_name).size() < kMacroNameUnits);
    NORVANE_FUZZ_CHECK(slot.macro_event_count <= kMaxMacroEvents);
  }
  for (size_t i = 0; i < library.size(); ++i) {
    NORVANE_FUZZ_CHECK(library[i]->event_count >= 0 && library[i]->event_count <= kMaxMacroEvents);
    for (size_t j = i + 1; j < library.size(); ++j)
      NORVANE_FUZZ_CHECK(!equal_ignoring_case(field_name(library[i]->name), field_name(library[j]->name)));
  }
  return 0;
}
