#pragma once
// An eventfd that a capture thread polls beside its input, so stop() can wake it.

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace norvane::capture {

class WakePipe {
 public:
  WakePipe() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~WakePipe() {
    if (fd_ >= 0) close(fd_);
  }
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void wake() {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(fd_, &one, sizeof one);
  }

 private:
  int fd_;
};

}  // namespace norvane::capture
