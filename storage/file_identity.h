#pragma once
// Which file a path names and whether anything was done to it since it was last
// looked at: device, inode, size, the times of the last change of its bytes (mtime)
// and of the file itself (ctime), its permissions, owner and number of names.
// Replacing the file gives another inode; writing into it moves both times (ctime
// even when someone sets mtime back); a chmod, chown or a new name changes the rest
// whatever the clock's resolution.

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;
  uint32_t mode = 0;  // type and permission bits
  uint64_t links = 0;
  uint32_t owner = 0;
  uint32_t group = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity identity_from_stat(const struct stat& info);

// The identity of the file open as `fd`; nothing when it cannot be asked.
std::optional<FileIdentity> identity_of_open_file(int fd);

// The identity of what `path` names itself (a symbolic link is not followed); nothing
// when there is nothing there or it cannot be asked.
std::optional<FileIdentity> identity_of_path(const std::string& path);

}  // namespace norvane
