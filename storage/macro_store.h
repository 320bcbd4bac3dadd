#pragma once
// The macro store file "macro.data": the macro records of the library one after the
// other, in library order, with nothing before or between them. An empty file is an
// empty library. The library and its file are used on the UI thread.

#include <string>
#include <string_view>

#include "storage/image_buffer.h"
#include "storage/record_names.h"
#include "storage/store_image.h"
#include "storage/store_load_result.h"

namespace norvane {

inline constexpr char kMacroStoreFileName[] = "macro.data";

// Fills `library` from the file. No file: an empty library and no file is created.
// Whole records are kept and a cut-short last one is dropped (the original is kept
// aside and the repaired store written); broken names and event counts are repaired;
// a file with no whole record is moved aside and the library stays empty, and so is
// one that is not a regular file or is larger than kMaxMacroStoreBytes (unread).
LoadResult load_macro_store(MacroLibrary& library, const std::string& folder, const StoreOptions& options = {});

// Writes every record atomically (an empty library leaves an empty file); on failure
// the old file stays. A library that is byte for byte what the last load or save of
// the file left there, in a file nobody has written since, writes nothing.
SaveResult save_macro_store(const MacroLibrary& library, const std::string& folder, FileOps* ops = nullptr);

// The same save of an image of `macros` records taken earlier (copy_macro_store_image
// into an ImageBuffer of macro_store_bytes(macros)), for a save made away from the
// library's thread. `path` is the store file. A buffer the system refused memory for,
// or no buffer for more than kMaxStoredMacros, fails the save.
SaveResult save_macro_store_image(ImageBuffer image, size_t macros, const std::string& path, FileOps* ops = nullptr);

struct AddedMacro {
  MacroRecord* record;  // the new macro, appended to the library
  SaveResult save;      // the outcome of saving the store
};

// Appends a new empty macro named `add_macro_text` followed by the number of macros
// + 1, made free with the "_N" rule, and saves the store.
AddedMacro add_macro(MacroLibrary& library, const std::string& folder, std::u16string_view add_macro_text,
                     FileOps* ops = nullptr);

}  // namespace norvane
