#include "storage/profile_store.h"

#include <cerrno>
#include <cstring>

#include "core/profile_defaults.h"
#include "storage/atomic_file.h"
#include "storage/format_text.h"
#include "storage/image_buffer.h"
#include "storage/record_file_reader.h"
#include "storage/store_recovery.h"
#include "storage/store_save.h"

namespace norvane {

ProfileRecord& create_default_profile(ProfileList& profiles, std::u16string_view add_profile_text) {
  auto record = std::make_unique<ProfileRecord>();  // zero-filled
  reset_profile_defaults(*record);
  set_field_name(record->name, free_numbered_profile_name(profiles, add_profile_text, profiles.size() + 1));
  profiles.push_back(std::move(record));
  return *profiles.back();
}

namespace {

template <typename Block>
std::span<const std::byte> bytes_of(const Block& block) {
  return std::as_bytes(std::span<const Block, 1>(&block, 1));
}

// Fixes what the rest of the program must never meet: a selected index outside the
// list, and records that break their invariants.
void repair_loaded_profiles(ProfileStoreHead& head, ProfileList& profiles, RepairNotes& notes) {
  const int32_t selected = head.selected_profile_index;
  if (selected < 0 || static_cast<size_t>(selected) >= profiles.size()) {
    notes.push_back(format_text("selected index %d is not one of the %zu profiles: selected the first",
                                static_cast<int>(selected), profiles.size()));
    head.selected_profile_index = 0;
  }
  for (size_t i = 0; i < profiles.size(); ++i) repair_profile_record(*profiles[i], i, notes);
}

}  // namespace

LoadResult load_profile_store(ProfileState& page, const std::string& folder, std::u16string_view add_profile_text,
                              const StoreOptions& options) {
  FileOps& ops = file_ops_or_posix(options.ops);
  const std::string path = store_file_path(folder, kProfileStoreFileName);
  page.send_all = true;
  remove_stale_temporary_files(path);
  forget_stored_image(path);  // remembered again once it is known what the file holds

  auto head = std::make_unique<ProfileStoreHead>();
  ProfileList profiles;
  const RecordFileRead read = read_record_file(path, head.get(), sizeof *head, profiles, kMaxProfileStoreBytes);
  // What the file holds, taken before any repair changes the records in memory.
  std::vector<Fingerprint> as_read;
  if (read.whole() && read.file) {
    as_read.reserve(profiles.size() + 1);
    as_read.push_back(fingerprint_of_record(*head));
    for (const auto& profile : profiles) as_read.push_back(fingerprint_of_record(*profile));
  }

  LoadResult result;
  RepairNotes notes;
  bool write = false;
  if (read.open_error == ENOENT || read.open_error == ENOTDIR) {
    result.outcome = LoadOutcome::created_default;
    notes.push_back("no profile store yet: created the default profile");
    write = true;
  } else if (profiles.empty()) {
    notes.push_back(describe_damage(read, kProfileStoreHeadBytes, kProfileRecordBytes, 0, "profile"));
    write = keep_original_aside(ops, path, options.now, AsideMode::move, result, notes);
    result.outcome = write ? LoadOutcome::damaged_moved_aside : LoadOutcome::damaged_left_in_place;
  } else {
    if (!read.whole())
      notes.push_back(describe_damage(read, kProfileStoreHeadBytes, kProfileRecordBytes, profiles.size(), "profile"));
    repair_loaded_profiles(*head, profiles, notes);
    if (!notes.empty()) {
      result.outcome = LoadOutcome::repaired;
      write = keep_original_aside(ops, path, options.now, AsideMode::copy, result, notes);
    }
  }
  if (profiles.empty()) {
    std::memset(head.get(), 0, sizeof *head);
    create_default_profile(profiles, add_profile_text);
  }

  {
    std::lock_guard<std::mutex> lock(page.mutex);
    *page.head = *head;
    page.profiles = std::move(profiles);
    page.select_current_unlocked();
  }
  if (write) {
    result.saved = true;
    result.save = save_profile_store(page, folder, &ops);
  } else if (result.outcome == LoadOutcome::loaded && !as_read.empty()) {
    remember_stored_image(path, StoredImage{*read.file, std::move(as_read)});
  }
  finish_load_result(kProfileStoreFileName, notes, result);
  return result;
}

SaveResult save_profile_store(const ProfileState& page, const std::string& folder, FileOps* ops) {
  const std::string path = store_file_path(folder, kProfileStoreFileName);
  StoreFileLock file_lock(path);
  const std::optional<std::vector<Fingerprint>> on_disk = unchanged_stored_parts(path);
  size_t count;
  {
    std::lock_guard<std::mutex> lock(page.mutex);
    count = page.profiles.size();
    if (count > kMaxStoredProfiles) {
      forget_stored_image(path);
      return too_many_records(path, count, "profiles");
    }
    // The head block, then each profile, compared with the file as the last save left
    // it; the profile being edited first.
    const auto part = [&](size_t i) { return i == 0 ? bytes_of(*page.head) : bytes_of(*page.profiles[i - 1]); };
    const size_t edited = static_cast<size_t>(page.selected_profile_index()) + 1;  // out of range: none
    if (parts_match(on_disk, count + 1, part, edited)) return {};
  }
  // The image's memory is had without the list's lock: getting it may wait for the
  // system to find free pages.
  ImageBuffer image(profile_store_bytes(count));
  {
    std::lock_guard<std::mutex> lock(page.mutex);
    if (page.profiles.size() != count) {  // the list grew or shrank meanwhile
      count = page.profiles.size();
      if (count <= kMaxStoredProfiles) image = ImageBuffer(profile_store_bytes(count));
    }
    if (count > kMaxStoredProfiles) {
      forget_stored_image(path);
      return too_many_records(path, count, "profiles");
    }
    if (!image.ok()) {
      forget_stored_image(path);
      return no_memory_for_image(path, profile_store_bytes(count));
    }
    copy_profile_store_image(*page.head, page.profiles, image.bytes());
  }
  return write_store_file(file_ops_or_posix(ops), path, image.bytes(), kProfileStoreHeadBytes, kProfileRecordBytes);
}

}  // namespace norvane
