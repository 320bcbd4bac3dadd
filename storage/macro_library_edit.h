#pragma once
// Changes of the macro library that keep macro.data in step: every change is saved at
// once through the store's atomic save. Shared by the macro editor and by everything
// else that adds or names macros (profile import, the macro selection dialog). UI
// thread, like the library itself.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/macro_library.h"
#include "storage/atomic_file.h"
#include "storage/file_ops.h"
#include "storage/macro_store.h"

namespace norvane {

// The position of the first macro named `name` without regard to letter case, or -1.
int find_macro(const MacroLibrary& library, std::u16string_view name);

// Removes macro `index` (nothing when there is none) and saves the store.
SaveResult delete_macro(MacroLibrary& library, size_t index, const std::string& folder, FileOps* ops = nullptr);

// Appends `record` under a free form of its own name ("Jump" -> "Jump_1" when taken,
// shortened before the suffix when it would not fit) and saves the store. An empty
// name is replaced by `fallback_name` first. The record's other fields are kept.
AddedMacro append_macro(MacroLibrary& library, const MacroRecord& record, std::u16string_view fallback_name,
                        const std::string& folder, FileOps* ops = nullptr);

enum class RenameOutcome {
  unchanged,  // the name is the macro's own (in any letter case): nothing changes
  empty,      // no name given
  taken,      // another macro has this name (in any letter case)
  renamed,    // the macro has the new name and the store was saved
};

struct RenameResult {
  RenameOutcome outcome = RenameOutcome::unchanged;
  std::u16string name;  // the macro's name afterwards
  SaveResult save;      // when renamed
};

// Gives macro `index` the name `wanted`, shortened to 23 characters (never inside a
// surrogate pair) before it is compared with the other names.
RenameResult rename_macro(MacroLibrary& library, size_t index, std::u16string_view wanted,
                          const std::string& folder, FileOps* ops = nullptr);

}  // namespace norvane
