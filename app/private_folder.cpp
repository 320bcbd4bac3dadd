#include "app/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace norvane {

std::string private_folder_problem(const std::string& path, uid_t uid) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISLNK(info.st_mode)) return "it is a symbolic link";
  if (!S_ISDIR(info.st_mode)) return "it is not a folder";
  if (info.st_uid != uid) return "it belongs to user " + std::to_string(info.st_uid);
  if ((info.st_mode & 077) != 0) {
    // Ours, only too open (made under a loose umask): close it rather than give up.
    if (::chmod(path.c_str(), info.st_mode & 0700) != 0) return "others may use it";
  }
  return {};
}

std::string make_private_folder(const std::string& path, uid_t uid) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  return private_folder_problem(path, uid);
}

std::string folder_write_problem(const std::string& path) {
  std::string probe = path;
  if (probe.empty() || probe.back() != '/') probe += '/';
  probe += ".norvane-write-check-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

}  // namespace norvane
