#pragma once
// Replacing a store file so that a crash, a full disk or a failed write at any point
// leaves either the old file or the new one, whole: the bytes go to a temporary file
// in the same folder, are flushed to disk and only then renamed over the old file.

#include <cstddef>
#include <sys/types.h>

#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "storage/file_identity.h"
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

// Files the program writes are the user's alone: macros may hold recorded keystrokes.
inline constexpr mode_t kPrivateFileMode = 0600;
// Folders it creates (the store folder, the data folders) likewise.
inline constexpr mode_t kPrivateFolderMode = 0700;

// Exclusive use of one store file within the process: every save of the file holds it,
// so saves land one after the other. A caller that copies shared data takes it before
// the copy, so the saves land in copy order and the last copy wins.
class StoreFileLock {
 public:
  explicit StoreFileLock(const std::string& path);

 private:
  std::unique_lock<std::mutex> lock_;
};

// Writes `bytes` to `path` through a temporary file, fsync and rename, creating the
// folder (and its missing parents, each kPrivateFolderMode) when it is missing, and
// fsyncs the folder afterwards. The new file gets `mode` (never wider than
// kPrivateFileMode unless asked). Never leaves the temporary file behind. Callers that
// may race hold a StoreFileLock of `path`.
//
// Whatever was remembered of `path` as a store's last save (stored_image.h) is
// forgotten first. On success `written`, when given, receives the identity of the
// file now at `path` (nothing when it cannot be told that it is the one written).
SaveResult write_file_atomically(FileOps& ops, const std::string& path, std::span<const std::byte> bytes,
                                 mode_t mode = kPrivateFileMode,
                                 std::optional<FileIdentity>* written = nullptr);

// Creates `folder` and any missing parents, each with kPrivateFolderMode; a folder
// that exists is left as it is. Fails when something other than a folder is in the way.
std::error_code create_private_folders(const std::string& folder);

// Deletes temporary files that an earlier run left beside `path` when it stopped in
// the middle of a save.
void remove_stale_temporary_files(const std::string& path);

}  // namespace norvane
