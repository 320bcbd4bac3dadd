// Feeds arbitrary macro.data files to the macro store's load. Whatever the file, every
// macro loaded has a terminated name and 0..190 events, the file is not lost (still in
// place or set aside), and a save of the library loads back as stored.

#include <cstdint>

#include "fuzz_support.h"
#include "storage/macro_store.h"

using namespace norvane;

namespace {

class NoSyncFileOps : public PosixFileOps {
 public:
  int fsync(int) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::FuzzFolder folder;
  static NoSyncFileOps no_sync;
  folder.clear();
  folder.write(kMacroStoreFileName, fuzz::file_for_input(data, size, 0, kMacroRecordBytes));

  MacroLibrary library;
  const LoadResult result = load_macro_store(library, folder.path(), {&no_sync, 0});
  for (const auto& macro : library) {
    NORVANE_FUZZ_CHECK(field_name(macro->name).size() < kMacroNameUnits);
    NORVANE_FUZZ_CHECK(macro->event_count >= 0 && macro->event_count <= kMaxMacroEvents);
  }
  NORVANE_FUZZ_CHECK(result.outcome != LoadOutcome::damaged_left_in_place);
  NORVANE_FUZZ_CHECK(result.outcome == LoadOutcome::loaded || !result.aside_path.empty());
  NORVANE_FUZZ_CHECK(!result.saved || result.save.ok());

  NORVANE_FUZZ_CHECK(save_macro_store(library, folder.path(), &no_sync).ok());
  MacroLibrary again;
  NORVANE_FUZZ_CHECK(load_macro_store(again, folder.path(), {&no_sync, 0}).outcome == LoadOutcome::loaded);
  NORVANE_FUZZ_CHECK(again.size() == library.size());
  for (size_t i = 0; i < library.size(); ++i)
    NORVANE_FUZZ_CHECK(std::memcmp(again[i].get(), library[i].get(), kMacroRecordBytes) == 0);
  return 0;
}
