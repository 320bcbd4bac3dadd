#pragma once
// Replacing a store file so that a crash, a full disk or a failed write at any point
// leaves either the old file or the new one, whole: the bytes go to a temporary file
// in the same folder, are flushed to disk and only then renamed over the old file.

#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "storage/file_ops.h"

namespace norvane {

// The outcome of a save. On failure the old file is as it was.
struct SaveResult {
  std::error_code error;  // empty on success
  std::string detail;     // on failure: the step and the path, for a trace or a message

  bool ok() const { return !error; }
  explicit operator bool() const { return ok(); }
};

// `folder` joined with `file_name`; the folder may or may not end in '/'.
std::string store_file_path(const std::string& folder, std::string_view file_name);

// The lock that orders every save of one file within the process. A caller that
// snapshots shared data takes it before the snapshot, so the saves land in snapshot
// order and the last snapshot wins.
std::unique_lock<std::mutex> lock_store_file(const std::string& path);

// Writes `bytes` to `path` through a temporary file, fsync and rename, creating the
// folder when it is missing, and fsyncs the folder afterwards. Never leaves the
// temporary file behind. Callers that may race hold lock_store_file(path).
SaveResult write_file_atomically(FileOps& ops, const std::string& path, std::span<const std::byte> bytes);

// Deletes temporary files that an earlier run left beside `path` when it stopped in
// the middle of a save.
void remove_stale_temporary_files(const std::string& path);

}  // namespace norvane
