#pragma once
// The profile store file "pro.data": the head block (the selected index and reserved
// bytes carried unchanged from load to save) followed by every profile record, in
// list order. `folder` is the store folder; the save creates it when it is missing.
//
// Threads: the save may run on the worker thread while the UI thread changes the
// list. It compares the head and the list with what the file holds and copies them
// under `ProfileState::mutex`, and writes the copy afterwards, so it never writes a
// torn list and holds the lock only to compare and copy.
// Saves of one file are ordered: the last copy taken is the one that stays on disk.
// Do not call it while holding `ProfileState::mutex`.

#include <string>
#include <string_view>

#include "core/profile_state.h"
#include "storage/record_names.h"
#include "storage/store_image.h"
#include "storage/store_load_result.h"

namespace norvane {

inline constexpr char kProfileStoreFileName[] = "pro.data";

// Fills the page's list and head block from the file and points `current_profile` at
// the selected record; sets `send_all`. Afterwards there is at least one profile and
// the selected index is below their number:
// - no file: one default profile named `add_profile_text` + "1", written to disk;
// - complete records are kept, a cut-short last record is dropped, an index out of
//   range selects the first, broken names and macro counts are repaired; the
//   original is kept aside and the repaired store written;
// - nothing to keep: the file is moved aside and the default store written;
// - not a regular file (a symbolic link, named pipe, device, folder) or larger than
//   kMaxProfileStoreBytes: moved aside unread, like a file with nothing to keep.
LoadResult load_profile_store(ProfileState& page, const std::string& folder, std::u16string_view add_profile_text,
                              const StoreOptions& options = {});

// Writes the head block and every record atomically; on failure the old file stays.
// A list and head block that are byte for byte what the last load or save of the file
// left there, in a file nobody has written since, write nothing.
SaveResult save_profile_store(const ProfileState& page, const std::string& folder, FileOps* ops = nullptr);

// Appends a record with the defaults, named `add_profile_text` followed by the
// number of profiles + 1, made free with the "_N" rule.
ProfileRecord& create_default_profile(ProfileList& profiles, std::u16string_view add_profile_text);

}  // namespace norvane
