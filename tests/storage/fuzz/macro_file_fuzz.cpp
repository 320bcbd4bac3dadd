// Feeds arbitrary files to the macro import. A file that is not one record long is
// refused; a record with a bad event count, an unknown event kind or more events than
// the mouse's memory holds is refused; anything accepted has a terminated name, events
// past its count zeroed, and passes the same check again unchanged.

#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "macros/macro_size.h"
#include "storage/macro_file.h"
#include "storage/record_names.h"
#include "storage/store_image.h"

using namespace norvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFolder folder;
  folder.clear();
  const std::vector<uint8_t> bytes = fuzz::file_for_input(data, size, 0, kMacroRecordBytes);
  folder.write("input.macro", bytes);

  const MacroFileRead read = read_macro_file(folder.path() + "/input.macro");
  if (bytes.size() != kMacroRecordBytes) {
    NORVANE_FUZZ_CHECK(read.problem == MacroFileProblem::wrong_size && !read.record);
    return 0;
  }
  NORVANE_FUZZ_CHECK((read.problem == MacroFileProblem::none) == (read.record != nullptr));
  NORVANE_FUZZ_CHECK(read.problem != MacroFileProblem::unreadable);
  if (!read.record) return 0;

  const MacroRecord& macro = *read.record;
  NORVANE_FUZZ_CHECK(field_name(macro.name).size() < kMacroNameUnits);
  NORVANE_FUZZ_CHECK(macro.event_count >= 0 && macro.event_count <= kMaxMacroEvents);
  NORVANE_FUZZ_CHECK(macro_size_units(macro.events, macro.event_count) <= kMaxMacroUnits);
  for (int i = 0; i < macro.event_count; ++i) {
    const uint8_t kind = macro.events[i].kind;
    NORVANE_FUZZ_CHECK(kind == kKindMove || kind == kKindPress || kind == kKindRelease);
  }
  for (int i = macro.event_count; i < kMaxMacroEvents; ++i) {
    static const MacroEvent kZero{};
    NORVANE_FUZZ_CHECK(std::memcmp(&macro.events[i], &kZero, sizeof kZero) == 0);
  }
  MacroRecord again = macro;
  bool name_cut = true;
  NORVANE_FUZZ_CHECK(check_macro_record(again, &name_cut) == MacroFileProblem::none);
  NORVANE_FUZZ_CHECK(!name_cut);
  NORVANE_FUZZ_CHECK(std::memcmp(&again, &macro, sizeof macro) == 0);
  return 0;
}
