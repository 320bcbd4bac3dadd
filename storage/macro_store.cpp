#include "storage/macro_store.h"

#include <cerrno>

#include "storage/atomic_file.h"
#include "storage/image_buffer.h"
#include "storage/record_file_reader.h"
#include "storage/store_recovery.h"

namespace norvane {

LoadResult load_macro_store(MacroLibrary& library, const std::string& folder, const StoreOptions& options) {
  FileOps& ops = file_ops_or_posix(options.ops);
  const std::string path = store_file_path(folder, kMacroStoreFileName);
  remove_stale_temporary_files(path);

  MacroLibrary macros;
  const RecordFileRead read = read_record_file(path, nullptr, 0, macros, kMaxMacroStoreBytes);

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
  }
  finish_load_result(kMacroStoreFileName, notes, result);
  return result;
}

SaveResult save_macro_store(const MacroLibrary& library, const std::string& folder, FileOps* ops) {
  const std::string path = store_file_path(folder, kMacroStoreFileName);
  StoreFileLock file_lock(path);
  if (library.size() > kMaxStoredMacros) return too_many_records(path, library.size(), "macros");
  ImageBuffer image(macro_store_bytes(library.size()));
  if (!image.ok()) return no_memory_for_image(path, macro_store_bytes(library.size()));
  copy_macro_store_image(library, image.bytes());
  return write_file_atomically(file_ops_or_posix(ops), path, image.bytes());
}

AddedMacro add_macro(MacroLibrary& library, const std::string& folder, std::u16string_view add_macro_text,
                     FileOps* ops) {
  auto record = std::make_unique<MacroRecord>();  // zero-filled: no events, repeat 0
  set_field_name(record->name, free_numbered_macro_name(library, add_macro_text, library.size() + 1));
  library.push_back(std::move(record));
  return AddedMacro{library.back().get(), save_macro_store(library, folder, ops)};
}

}  // namespace norvane
