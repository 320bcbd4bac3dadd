#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "core/trace.h"
#include "storage/stored_image.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr size_t kLargestWrite = size_t{1} << 30;

std::string parent_folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

SaveResult failure(int error, const char* step, const std::string& path) {
  return SaveResult{std::error_code(error, std::generic_category()), std::string(step) + " " + path};
}

std::string unique_temporary_path(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// Flushes a folder's entries (a rename or a new name in it) to disk.
int fsync_folder(FileOps& ops, const std::string& folder) {
  const int fd = ops.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return errno;
  const int error = ops.fsync(fd) == 0 ? 0 : errno;
  ops.close(fd);
  return error;
}

// Creates the folder (and its parents) when missing; a new folder's own entry is
// flushed too, or the store could vanish with it after a crash.
SaveResult ensure_folder(FileOps& ops, const std::string& folder) {
  std::error_code ec;
  const bool created = !fs::is_directory(folder, ec);
  ec = create_private_folders(folder);
  if (ec) return SaveResult{ec, "create folder " + folder};
  if (created) {
    if (const int error = fsync_folder(ops, parent_folder(folder)))
      trace("Store: cannot flush the folder holding %s: %s", folder.c_str(), std::strerror(error));
  }
  return {};
}

int write_all(FileOps& ops, int fd, std::span<const std::byte> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t chunk = std::min(bytes.size() - done, kLargestWrite);
    const ssize_t n = ops.write(fd, bytes.data() + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;  // a write that makes no progress would loop forever
    done += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

std::string store_file_path(const std::string& folder, std::string_view file_name) {
  if (folder.empty()) return std::string(file_name);
  std::string path = folder;
  if (path.back() != '/') path.push_back('/');
  path += file_name;
  return path;
}

StoreFileLock::StoreFileLock(const std::string& path) {
  static std::mutex registry_mutex;
  static std::map<std::string, std::unique_ptr<std::mutex>> mutexes;  // one per store file, never freed
  std::mutex* mutex;
  {
    std::lock_guard<std::mutex> guard(registry_mutex);
    auto& slot = mutexes[path];
    if (!slot) slot = std::make_unique<std::mutex>();
    mutex = slot.get();
  }
  lock_ = std::unique_lock<std::mutex>(*mutex);
}

std::error_code create_private_folders(const std::string& folder) {
  std::error_code ec;
  if (folder.empty() || fs::is_directory(folder, ec)) return {};
  fs::path path = fs::path(folder).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();  // "a/b/" names "a/b"
  const fs::path parent = path.parent_path();
  if (!parent.empty() && parent != path) {
    if (std::error_code up = create_private_folders(parent.string())) return up;
  }
  if (::mkdir(path.c_str(), kPrivateFolderMode) == 0) return {};
  const int error = errno;
  if (error != EEXIST) return {error, std::generic_category()};
  return fs::is_directory(path, ec) ? std::error_code{} : std::make_error_code(std::errc::not_a_directory);
}

SaveResult write_file_atomically(FileOps& ops, const std::string& path, std::span<const std::byte> bytes,
                                 mode_t mode, std::optional<FileIdentity>* written) {
  forget_stored_image(path);
  if (written) written->reset();
  const std::string folder = parent_folder(path);
  if (SaveResult made = ensure_folder(ops, folder); !made) return made;

  const std::string temporary = unique_temporary_path(path);
  const int fd = ops.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  if (fd < 0) return failure(errno, "create", temporary);

  const char* step = "write";
  int error = write_all(ops, fd, bytes);
  if (!error) {
    step = "flush";
    error = ops.fsync(fd) == 0 ? 0 : errno;
  }
  // The file as written, before the rename gives it the store's name.
  const std::optional<FileIdentity> temporary_file = error || !written ? std::nullopt : identity_of_open_file(fd);
  // close() reports errors of delayed writes on some file systems: it counts.
  const int close_error = ops.close(fd) == 0 ? 0 : errno;
  if (!error && close_error) {
    step = "close";
    error = close_error;
  }
  if (!error) {
    step = "rename";
    error = ops.rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
  }
  if (error) {
    ops.unlink(temporary.c_str());
    return failure(error, step, temporary);
  }

  // The rename itself counts as a change of the file (its ctime), so the identity
  // is taken from the path now, and kept only when it is still the file written.
  if (written && temporary_file) {
    const std::optional<FileIdentity> in_place = identity_of_path(path);
    if (in_place && in_place->device == temporary_file->device && in_place->inode == temporary_file->inode &&
        in_place->size == temporary_file->size && in_place->modified_ns == temporary_file->modified_ns)
      *written = in_place;
  }

  // The new file is in place; a folder that cannot be flushed only weakens the
  // guarantee across a power cut, so it is traced rather than reported as a failure.
  if (const int folder_error = fsync_folder(ops, folder))
    trace("Store: cannot flush folder %s: %s", folder.c_str(), std::strerror(folder_error));
  return {};
}

void remove_stale_temporary_files(const std::string& path) {
  const fs::path target(path);
  const std::string prefix = target.filename().string() + std::string(kTemporaryMark);
  std::error_code ec;
  for (fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0 || !it->is_regular_file(ec)) continue;
    std::error_code remove_error;
    if (fs::remove(it->path(), remove_error)) trace("Store: removed %s left by an interrupted save", name.c_str());
  }
}

}  // namespace norvane
