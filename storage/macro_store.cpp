#include "storage/macro_store.h"

#include <cerrno>

#include "storage/atomic_file.h"
#include "storage/record_file_reader.h"
#include "storage/store_recovery.h"
#include "storage/store_save.h"

namespace norvane {

LoadResult load_macro_store(MacroLibrary& library, const std::string& folder, const StoreOptions& options) {
  FileOps& ops = file_ops_or_posix(options.ops);
  const std::string path = store_file_path(folder, kMacroStoreFileName);
  remove_stale_temporary_files(path);
  forget_stored_image(path);  // remembered again once it is known what the file holds

  MacroLibrary macros;
  const RecordFileRead read = read_record_file(path, nullptr, 0, macros, kMaxMacroStoreBytes);
  // What the file holds, taken before any repair changes the records in memory.
  std::vector<Fingerprint> as_read;
  if (read.whole() && read.file) {
    as_read.reserve(macros.size());
    for (const auto& macro : macros) as_read.push_back(fingerprint_of_record(*macro));
  }

  LoadResult result;
  RepairNotes notes;
  bool write = false;
  if (read.open_error == ENOENT || read.open_error == ENOTDIR) {
    result.outcome = LoadOutcome::created_default;
    notes.push_back("no macro store yet: the library is empty");
  } else if (macros.empty() && !read.whole()) {
    notes.push_back(describe_damage(read, 0, kMacroRecordBytes, 0, "macro"));
    // An absent file is an empty library, so moving the file aside is all it takes.
    result.outcome = keep_original_aside(ops, path, options.now, AsideMode::move, result, notes)
                         ? LoadOutcome::damaged_moved_aside
                         : LoadOutcome::damaged_left_in_place;
  } else {
    if (!read.whole()) notes.push_back(describe_damage(read, 0, kMacroRecordBytes, macros.size(), "macro"));
    for (size_t i = 0; i < macros.size(); ++i) repair_macro_record(*macros[i], i, notes);
    if (!notes.empty()) {
      result.outcome = LoadOutcome::repaired;
      write = keep_original_aside(ops, path, options.now, AsideMode::copy, result, notes);
    }
  }

  library = std::move(macros);
  if (write) {
    result.saved = true;
    result.save = save_macro_store(library, folder, &ops);
  } else if (result.outcome == LoadOutcome::loaded && read.file) {
    remember_stored_image(path, StoredImage{*read.file, std::move(as_read)});
  }
  finish_load_result(kMacroStoreFileName, notes, result);
  return result;
}

SaveResult save_macro_store(const MacroLibrary& library, const std::string& folder, FileOps* ops) {
  const std::string path = store_file_path(folder, kMacroStoreFileName);
  StoreFileLock file_lock(path);
  if (library.size() > kMaxStoredMacros) {
    forget_stored_image(path);
    return too_many_records(path, library.size(), "macros");
  }
  const auto part = [&](size_t i) { return std::as_bytes(std::span<const MacroRecord, 1>(library[i].get(), 1)); };
  if (parts_match(unchanged_stored_parts(path), library.size(), part)) return {};
  ImageBuffer image(macro_store_bytes(library.size()));
  if (!image.ok()) {
    forget_stored_image(path);
    return no_memory_for_image(path, macro_store_bytes(library.size()));
  }
  copy_macro_store_image(library, image.bytes());
  return write_store_file(file_ops_or_posix(ops), path, image.bytes(), 0, kMacroRecordBytes);
}

SaveResult save_macro_store_image(ImageBuffer image, size_t macros, const std::string& path, FileOps* ops) {
  StoreFileLock file_lock(path);
  if (macros > kMaxStoredMacros) {
    forget_stored_image(path);
    return too_many_records(path, macros, "macros");
  }
  if (!image.ok()) {
    forget_stored_image(path);
    return no_memory_for_image(path, macro_store_bytes(macros));
  }
  const std::span<const std::byte> bytes = image.bytes();
  const auto part = [&](size_t i) { return bytes.subspan(i * kMacroRecordBytes, kMacroRecordBytes); };
  if (parts_match(unchanged_stored_parts(path), bytes.size() / kMacroRecordBytes, part)) return {};
  return write_store_file(file_ops_or_posix(ops), path, image.bytes(), 0, kMacroRecordBytes);
}

AddedMacro add_macro(MacroLibrary& library, const std::string& folder, std::u16string_view add_macro_text,
                     FileOps* ops) {
  auto record = std::make_unique<MacroRecord>();  // zero-filled: no events, repeat 0
  set_field_name(record->name, free_numbered_macro_name(library, add_macro_text, library.size() + 1));
  library.push_back(std::move(record));
  return AddedMacro{library.back().get(), save_macro_store(library, folder, ops)};
}

}  // namespace norvane
