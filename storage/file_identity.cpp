#include "storage/file_identity.h"

namespace norvane {
namespace {

int64_t nanoseconds(const struct timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

FileIdentity identity_from_stat(const struct stat& info) {
  return FileIdentity{static_cast<uint64_t>(info.st_dev),
                      static_cast<uint64_t>(info.st_ino),
                      static_cast<uint64_t>(info.st_size),
                      nanoseconds(info.st_mtim),
                      nanoseconds(info.st_ctim),
                      static_cast<uint32_t>(info.st_mode),
                      static_cast<uint64_t>(info.st_nlink),
                      static_cast<uint32_t>(info.st_uid),
                      static_cast<uint32_t>(info.st_gid)};
}

std::optional<FileIdentity> identity_of_open_file(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return identity_from_stat(info);
}

std::optional<FileIdentity> identity_of_path(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return identity_from_stat(info);
}

}  // namespace norvane
