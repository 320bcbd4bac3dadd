#include "storage/macro_file.h"

#include <cstring>
#include <span>

#include "macros/macro_size.h"
#include "storage/format_text.h"
#include "storage/record_file_reader.h"
#include "storage/record_names.h"

namespace norvane {

const char* to_string(MacroFileProblem problem) {
  switch (problem) {
    case MacroFileProblem::none: return "none";
    case MacroFileProblem::unreadable: return "unreadable";
    case MacroFileProblem::wrong_size: return "wrong size";
    case MacroFileProblem::bad_event_count: return "bad event count";
    case MacroFileProblem::too_large: return "too large";
    case MacroFileProblem::bad_event_kind: break;
  }
  return "bad event kind";
}

MacroFileProblem check_macro_record(MacroRecord& record, bool* name_cut, std::string* detail) {
  auto refuse = [detail](MacroFileProblem problem, std::string text) {
    if (detail) *detail = std::move(text);
    return problem;
  };
  if (record.event_count < 0 || record.event_count > kMaxMacroEvents) {
    return refuse(MacroFileProblem::bad_event_count,
                  format_text("event count %d is outside 0..%d", static_cast<int>(record.event_count), kMaxMacroEvents));
  }
  for (int i = 0; i < record.event_count; ++i) {
    const uint8_t kind = record.events[i].kind;
    if (kind != kKindMove && kind != kKindPress && kind != kKindRelease) {
      return refuse(MacroFileProblem::bad_event_kind,
                    format_text("event %d has kind %u", i, static_cast<unsigned>(kind)));
    }
  }
  const int units = macro_size_units(record.events, record.event_count);
  if (units > kMaxMacroUnits) {
    return refuse(MacroFileProblem::too_large, format_text("%d units, at most %d fit", units, kMaxMacroUnits));
  }

  const std::u16string_view whole(record.name, kMacroNameUnits);
  const bool terminated = whole.find(u'\0') != std::u16string_view::npos;
  if (name_cut) *name_cut = !terminated;
  set_field_name(record.name, std::u16string(field_name(record.name)));
  std::memset(static_cast<void*>(record.events + record.event_count), 0,
              sizeof(MacroEvent) * static_cast<size_t>(kMaxMacroEvents - record.event_count));
  if (detail) detail->clear();
  return MacroFileProblem::none;
}

MacroFileRead read_macro_file(const std::string& path) {
  MacroFileRead result;
  // A file the user picked: reached through a link is fine, a pipe or device is not.
  ReadOnlyFile file(path, UINT64_MAX, LinkHandling::follow);
  if (file.error()) {
    result.problem = MacroFileProblem::unreadable;
    result.error = file.error();
    result.detail = format_text("%s: cannot open: %s", path.c_str(), std::strerror(result.error));
    return result;
  }
  // One byte more than a record tells a longer file from a whole one.
  auto record = std::make_unique<MacroRecord>();
  std::byte extra{};
  result.size = file.read(record.get(), sizeof(MacroRecord));
  if (result.size == sizeof(MacroRecord)) result.size += file.read(&extra, 1);
  if (file.error()) {
    result.problem = MacroFileProblem::unreadable;
    result.error = file.error();
    result.detail = format_text("%s: cannot read: %s", path.c_str(), std::strerror(result.error));
    return result;
  }
  if (result.size != sizeof(MacroRecord)) {
    result.problem = MacroFileProblem::wrong_size;
    result.detail = result.size > sizeof(MacroRecord)
                        ? format_text("%s: longer than %zu bytes, the size of one macro", path.c_str(),
                                      sizeof(MacroRecord))
                        : format_text("%s: %zu bytes, a macro file has %zu", path.c_str(), result.size,
                                      sizeof(MacroRecord));
    return result;
  }
  std::string detail;
  result.problem = check_macro_record(*record, &result.name_cut, &detail);
  if (result.problem != MacroFileProblem::none) {
    result.detail = path + ": " + detail;
    return result;
  }
  result.record = std::move(record);
  return result;
}

SaveResult write_macro_file(const std::string& path, const MacroRecord& record, FileOps* ops) {
  StoreFileLock file_lock(path);
  const auto bytes = std::as_bytes(std::span(&record, 1));
  return write_file_atomically(file_ops_or_posix(ops), path, bytes);
}

}  // namespace norvane
