#pragma once
// The file-system calls the stores make when they write, behind one interface so a
// test can make a write fail half-way or a benchmark can leave out fsync. The calls
// follow POSIX: they return -1 (or a short count) and set errno on failure.

#include <sys/types.h>

#include <cstddef>

namespace norvane {

class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int open(const char* path, int flags, mode_t mode) = 0;
  virtual ssize_t write(int fd, const void* data, size_t size) = 0;
  virtual int fsync(int fd) = 0;
  virtual int close(int fd) = 0;
  virtual int rename(const char* from, const char* to) = 0;
  virtual int link(const char* from, const char* to) = 0;
  virtual int unlink(const char* path) = 0;
};

// The real calls.
class PosixFileOps : public FileOps {
 public:
  int open(const char* path, int flags, mode_t mode) override;
  ssize_t write(int fd, const void* data, size_t size) override;
  int fsync(int fd) override;
  int close(int fd) override;
  int rename(const char* from, const char* to) override;
  int link(const char* from, const char* to) override;
  int unlink(const char* path) override;
};

// The shared instance of PosixFileOps; `ops` when it is given, else that instance.
FileOps& posix_file_ops();
inline FileOps& file_ops_or_posix(FileOps* ops) { return ops ? *ops : posix_file_ops(); }

}  // namespace norvane
