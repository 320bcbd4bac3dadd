#include "storage/record_file_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace norvane {

ReadOnlyFile::ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0) error_ = errno;
}

ReadOnlyFile::~ReadOnlyFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t ReadOnlyFile::read(void* buffer, size_t size) {
  if (fd_ < 0) return 0;
  auto* out = static_cast<std::byte*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd_, out + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

std::optional<std::vector<std::byte>> read_whole_file(const std::string& path) {
  ReadOnlyFile file(path);
  if (file.error()) return std::nullopt;
  std::vector<std::byte> bytes;
  constexpr size_t kChunk = 1 << 20;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kChunk);
    const size_t got = file.read(bytes.data() + used, kChunk);
    bytes.resize(used + got);
    if (file.error()) return std::nullopt;
    if (got < kChunk) return bytes;
  }
}

}  // namespace norvane
