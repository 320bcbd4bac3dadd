#include "storage/file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace norvane {

int PosixFileOps::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t PosixFileOps::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int PosixFileOps::fsync(int fd) { return ::fsync(fd); }
int PosixFileOps::close(int fd) { return ::close(fd); }
int PosixFileOps::rename(const char* from, const char* to) { return ::rename(from, to); }
int PosixFileOps::link(const char* from, const char* to) { return ::link(from, to); }
int PosixFileOps::unlink(const char* path) { return ::unlink(path); }

FileOps& posix_file_ops() {
  static PosixFileOps ops;
  return ops;
}

}  // namespace norvane
