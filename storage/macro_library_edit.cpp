#include "storage/macro_library_edit.h"

#include <memory>

#include "storage/case_fold.h"
#include "storage/record_names.h"

namespace norvane {

int find_macro(const MacroLibrary& library, std::u16string_view name) {
  for (size_t i = 0; i < library.size(); ++i) {
    if (library[i] && equal_ignoring_case(field_name(library[i]->name), name)) return static_cast<int>(i);
  }
  return -1;
}

SaveResult delete_macro(MacroLibrary& library, size_t index, const std::string& folder, FileOps* ops) {
  if (index < library.size()) library.erase(library.begin() + static_cast<std::ptrdiff_t>(index));
  return save_macro_store(library, folder, ops);
}

AddedMacro append_macro(MacroLibrary& library, const MacroRecord& record, std::u16string_view fallback_name,
                        const std::string& folder, FileOps* ops) {
  auto added = std::make_unique<MacroRecord>(record);
  std::u16string_view wanted = field_name(record.name);
  if (wanted.empty()) wanted = fallback_name;
  set_field_name(added->name, free_macro_name(library, wanted));
  library.push_back(std::move(added));
  return AddedMacro{library.back().get(), save_macro_store(library, folder, ops)};
}

RenameResult rename_macro(MacroLibrary& library, size_t index, std::u16string_view wanted,
                          const std::string& folder, FileOps* ops) {
  RenameResult result;
  if (index >= library.size() || !library[index]) return result;
  MacroRecord& record = *library[index];
  result.name = std::u16string(field_name(record.name));
  const std::u16string_view name = shorten_name(wanted, kMaxMacroNameLength);
  if (equal_ignoring_case(name, result.name)) return result;
  if (name.empty()) {
    result.outcome = RenameOutcome::empty;
    return result;
  }
  if (name_exists(library, name)) {
    result.outcome = RenameOutcome::taken;
    return result;
  }
  set_field_name(record.name, name);
  result.outcome = RenameOutcome::renamed;
  result.name = std::u16string(name);
  result.save = save_macro_store(library, folder, ops);
  return result;
}

}  // namespace norvane
