// Feeds arbitrary pro.data files to the profile store's load. Whatever the file, the
// load must end with a usable list (at least one profile, the selected index in range,
// every name terminated, every macro count within 190, every setting and the
// function and macro fields of every button inside their ranges), must not lose the file (it is
// still in place or set aside), and a save of that list must load back as stored.

#include <cstdint>
#include <filesystem>

#include "buttons/button_function_table.h"
#include "core/setting_table.h"
#include "fuzz_support.h"
#include "storage/profile_store.h"

using namespace norvane;

namespace {

class NoSyncFileOps : public PosixFileOps {
 public:
  int fsync(int) override { return 0; }
};

void check_usable(const ProfileState& page) {
  NORVANE_FUZZ_CHECK(!page.profiles.empty());
  const int32_t selected = page.selected_profile_index();
  NORVANE_FUZZ_CHECK(selected >= 0 && static_cast<size_t>(selected) < page.profiles.size());
  NORVANE_FUZZ_CHECK(page.current_profile == page.profiles[static_cast<size_t>(selected)].get());
  for (const auto& profile : page.profiles) {
    NORVANE_FUZZ_CHECK(field_name(profile->name).size() < kProfileNameUnits);
    ProfileRecord checked = *profile;
    NORVANE_FUZZ_CHECK(fix_out_of_range_settings(checked).empty());
    for (const ButtonSlot& slot : profile->buttons) {
      NORVANE_FUZZ_CHECK(field_name(slot.macro_name).size() < kMacroNameUnits);
      NORVANE_FUZZ_CHECK(slot.macro_event_count <= kMaxMacroEvents);
    }
    // The slots the page shows and the button mapping sends; the record's spare slots
    // are carried through as they are.
    for (int k = 0; k < kMouseButtons; ++k) {
      const ButtonSlot& slot = profile->buttons[k];
      NORVANE_FUZZ_CHECK(find_button_function(slot.function) != nullptr);
      NORVANE_FUZZ_CHECK(slot.macro_mode >= 0 && slot.macro_mode <= 2);
      NORVANE_FUZZ_CHECK(slot.macro_repeat >= 0 && slot.macro_repeat <= 255);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFolder folder;
  static NoSyncFileOps no_sync;
  folder.clear();
  folder.write(kProfileStoreFileName, fuzz::file_for_input(data, size, kProfileStoreHeadBytes, kProfileRecordBytes));

  ProfileState page;
  const LoadResult result = load_profile_store(page, folder.path(), u"Profile", {&no_sync, 0});
  check_usable(page);
  NORVANE_FUZZ_CHECK(result.outcome != LoadOutcome::damaged_left_in_place);
  NORVANE_FUZZ_CHECK(result.outcome == LoadOutcome::loaded || !result.aside_path.empty());
  NORVANE_FUZZ_CHECK(!result.saved || result.save.ok());

  NORVANE_FUZZ_CHECK(save_profile_store(page, folder.path(), &no_sync).ok());
  ProfileState again;
  NORVANE_FUZZ_CHECK(load_profile_store(again, folder.path(), u"Profile", {&no_sync, 0}).outcome ==
                     LoadOutcome::loaded);
  NORVANE_FUZZ_CHECK(again.profiles.size() == page.profiles.size());
  for (size_t i = 0; i < page.profiles.size(); ++i)
    NORVANE_FUZZ_CHECK(std::memcmp(again.profiles[i].get(), page.profiles[i].get(), kProfileRecordBytes) == 0);
  return 0;
}
