#include "storage/store_recovery.h"

#include <cstring>

#include "core/trace.h"
#include "storage/format_text.h"

namespace norvane {

std::string describe_damage(const RecordFileRead& read, size_t head_size, size_t record_size, size_t kept,
                            const char* noun) {
  if (read.refusal == FileRefusal::not_regular)
    return format_text("the store is %s, not a regular file: not read", read.refused_what.c_str());
  if (read.refusal == FileRefusal::too_large)
    return format_text("the store holds %s, far more than any real store: not read", read.refused_what.c_str());
  if (!read.opened()) return format_text("cannot open the file: %s", std::strerror(read.open_error));
  if (read.head_bytes < head_size) {
    if (read.read_error) return format_text("cannot read the file: %s", std::strerror(read.read_error));
    if (read.head_bytes == 0) return "the file is empty";
    return format_text("the file ends inside the head block (%zu of %zu bytes)", read.head_bytes, head_size);
  }
  if (read.read_error)
    return format_text("reading stopped after %zu whole %s records: %s", kept, noun, std::strerror(read.read_error));
  if (read.tail_bytes)
    return format_text("dropped a cut-short %s record (%zu of %zu bytes) after %zu whole ones", noun, read.tail_bytes,
                       record_size, kept);
  if (kept == 0 && head_size) return format_text("the file holds the head block and no %s", noun);
  return {};
}

bool keep_original_aside(FileOps& ops, const std::string& path, std::time_t now, AsideMode mode,
                         LoadResult& result, RepairNotes& notes) {
  if (auto aside = set_damaged_file_aside(ops, path, now, mode)) {
    result.aside_path = std::move(*aside);
    notes.push_back((mode == AsideMode::move ? "moved the damaged file to " : "kept the original as ") +
                    result.aside_path);
    return true;
  }
  notes.push_back("could not keep the original aside, so the file is left as it was");
  return false;
}

SaveResult too_many_records(const std::string& path, size_t count, const char* noun) {
  return SaveResult{std::make_error_code(std::errc::file_too_large),
                    format_text("save %s: %zu %s are more than a store holds", path.c_str(), count, noun)};
}

SaveResult no_memory_for_image(const std::string& path, size_t bytes) {
  return SaveResult{std::make_error_code(std::errc::not_enough_memory),
                    format_text("save %s: no memory for its %zu-byte image", path.c_str(), bytes)};
}

void finish_load_result(const char* file_name, RepairNotes& notes, LoadResult& result) {
  result.message.clear();
  for (const std::string& note : notes) {
    if (!result.message.empty()) result.message += '\n';
    result.message += note;
  }
  if (result.outcome == LoadOutcome::loaded) return;
  trace("%s: %s", file_name, to_string(result.outcome));
  for (const std::string& note : notes) trace("%s: %s", file_name, note.c_str());
  if (result.saved && !result.save.ok())
    trace("%s: could not write the store: %s (%s)", file_name, result.save.error.message().c_str(),
          result.save.detail.c_str());
}

}  // namespace norvane
