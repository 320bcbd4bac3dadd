#include "storage/damaged_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <span>

#include "storage/atomic_file.h"
#include "storage/record_file_reader.h"
#include "storage/stored_image.h"

namespace norvane {
namespace {

constexpr int kMaxNameTries = 100;

std::string time_stamp(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

std::string aside_name(const std::string& base, int attempt) {
  return attempt == 0 ? base : base + "-" + std::to_string(attempt + 1);
}

bool exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// Without hard links (some file systems, or a folder in place of the file): a rename
// or a written copy under the first name that is not taken.
std::optional<std::string> set_aside_without_link(FileOps& ops, const std::string& path, const std::string& base,
                                                  AsideMode mode) {
  for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
    const std::string target = aside_name(base, attempt);
    if (exists(target)) continue;
    if (mode == AsideMode::move) {
      if (ops.rename(path.c_str(), target.c_str()) != 0) return std::nullopt;
      return target;
    }
    // Only a regular file is copied (a copy reads it, and nothing else is ever read),
    // and the copy is never readable by more people than the original.
    mode_t original_mode = 0;
    const auto bytes = read_whole_file(path, UINT64_MAX, &original_mode);
    if (!bytes) return std::nullopt;
    StoreFileLock lock(target);
    if (!write_file_atomically(ops, target, std::span<const std::byte>(*bytes), original_mode & kPrivateFileMode))
      return std::nullopt;
    return target;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> set_damaged_file_aside(FileOps& ops, const std::string& path, std::time_t now,
                                                  AsideMode mode) {
  forget_stored_image(path);  // the file is about to move or gain a name: it is no store's last save
  const std::string base = path + ".damaged-" + time_stamp(now);
  // A second name for the same file: atomic, never replaces an existing file, and
  // costs no copy. Moving then only drops the old name.
  for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
    const std::string target = aside_name(base, attempt);
    if (ops.link(path.c_str(), target.c_str()) == 0) {
      // Should dropping the old name fail, the bytes are still safe under the new
      // one, and the recreated store replaces the old name by rename anyway.
      if (mode == AsideMode::move) ops.unlink(path.c_str());
      return target;
    }
    if (errno != EEXIST) break;
  }
  return set_aside_without_link(ops, path, base, mode);
}

}  // namespace norvane
