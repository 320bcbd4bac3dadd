#include "storage/record_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace norvane {
namespace {

const char* what_it_is(mode_t mode) {
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISDIR(mode)) return "a folder";
  return "not a regular file";
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path, uint64_t max_bytes, LinkHandling links) : max_bytes_(max_bytes) {
  const bool follow = links == LinkHandling::follow;
  // Looked at before it is opened, so a device is never opened at all (opening some
  // has effects of its own); the checks are repeated on what was opened, in case the
  // name was replaced in between.
  struct stat info;
  if ((follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) {
    error_ = errno;
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    refuse(FileRefusal::not_regular, what_it_is(info.st_mode));
    return;
  }
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (follow ? 0 : O_NOFOLLOW));
  if (fd_ < 0) {
    if (errno == ELOOP) {
      refuse(FileRefusal::not_regular, "a symbolic link");
    } else {
      error_ = errno;
    }
    return;
  }
  if (::fstat(fd_, &info) != 0) {
    error_ = errno;
  } else if (!S_ISREG(info.st_mode)) {
    refuse(FileRefusal::not_regular, what_it_is(info.st_mode));
  } else if (static_cast<uint64_t>(info.st_size) > max_bytes_) {
    refuse(FileRefusal::too_large, std::to_string(info.st_size) + " bytes");
  } else {
    mode_ = info.st_mode & 07777;
    identity_ = identity_from_stat(info);
    return;
  }
  ::close(fd_);
  fd_ = -1;
}

ReadOnlyFile::~ReadOnlyFile() {
  if (fd_ >= 0) ::close(fd_);
}

void ReadOnlyFile::refuse(FileRefusal why, std::string what) {
  refusal_ = why;
  // An errno as well, for callers that only look at error().
  if (why == FileRefusal::too_large) {
    error_ = EFBIG;
  } else {
    error_ = what == "a symbolic link" ? ELOOP : what == "a folder" ? EISDIR : EINVAL;
  }
  refused_what_ = std::move(what);
}

size_t ReadOnlyFile::read(void* buffer, size_t size) {
  const std::span<std::byte> whole(static_cast<std::byte*>(buffer), size);
  return read_parts(std::span<const std::span<std::byte>>(&whole, 1));
}

size_t ReadOnlyFile::read_parts(std::span<const std::span<std::byte>> parts) {
  if (fd_ < 0 || refusal_ != FileRefusal::none) return 0;
  // Never more than the limit, whatever the size said when the file was opened.
  uint64_t left = max_bytes_ - read_so_far_;
  size_t asked = 0;
  std::vector<iovec> pieces;
  pieces.reserve(parts.size());
  for (const std::span<std::byte> part : parts) {
    asked += part.size();
    const size_t take = static_cast<size_t>(std::min<uint64_t>(part.size(), left));
    left -= take;
    if (take) pieces.push_back(iovec{part.data(), take});
  }
  size_t wanted = 0;
  for (const iovec& piece : pieces) wanted += piece.iov_len;

  size_t done = 0;
  size_t next = 0;  // the first piece not filled yet
  while (next < pieces.size()) {
    const int count = static_cast<int>(std::min<size_t>(pieces.size() - next, IOV_MAX));
    const ssize_t n = ::readv(fd_, &pieces[next], count);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
    for (size_t moved = static_cast<size_t>(n); moved > 0;) {
      iovec& piece = pieces[next];
      const size_t step = std::min(moved, piece.iov_len);
      piece.iov_base = static_cast<std::byte*>(piece.iov_base) + step;
      piece.iov_len -= step;
      moved -= step;
      if (piece.iov_len == 0) ++next;
    }
  }
  read_so_far_ += done;
  if (done == wanted && wanted < asked) {
    std::byte probe;
    ssize_t n;
    do {
      n = ::read(fd_, &probe, 1);
    } while (n < 0 && errno == EINTR);
    if (n > 0) refuse(FileRefusal::too_large, "more than " + std::to_string(max_bytes_) + " bytes");
  }
  return done;
}

std::optional<std::vector<std::byte>> read_whole_file(const std::string& path, uint64_t max_bytes, mode_t* mode) {
  ReadOnlyFile file(path, max_bytes);
  if (!file.usable()) return std::nullopt;
  if (mode) *mode = file.mode();
  std::vector<std::byte> bytes;
  constexpr size_t kChunk = 1 << 20;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kChunk);
    const size_t got = file.read(bytes.data() + used, kChunk);
    bytes.resize(used + got);
    if (file.error() || file.refusal() != FileRefusal::none) return std::nullopt;
    if (got < kChunk) return bytes;
  }
}

}  // namespace norvane
