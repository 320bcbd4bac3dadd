#pragma once
// Helpers of the store tests: a private temporary folder, whole-file reads and
// writes, a file-system seam that fails on demand, and a trace recorder.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/trace.h"
#include "storage/file_ops.h"

namespace norvane::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-store-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path_)) out.push_back(e.path().filename().string());
    return out;
  }

 private:
  std::string path_;
};

inline std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size < 0) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

inline void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The real calls, except that writes fail with ENOSPC once `write_budget` bytes were
// written, and fsync or rename fail when asked to.
class FaultyFileOps : public PosixFileOps {
 public:
  size_t write_budget = SIZE_MAX;
  bool fail_fsync = false;
  bool fail_rename = false;

  ssize_t write(int fd, const void* data, size_t size) override {
    if (write_budget == 0) {
      errno = ENOSPC;
      return -1;
    }
    const size_t allowed = size < write_budget ? size : write_budget;
    const ssize_t n = PosixFileOps::write(fd, data, allowed);
    if (n > 0) write_budget -= static_cast<size_t>(n);
    return n;
  }
  int fsync(int fd) override {
    if (fail_fsync) {
      errno = EIO;
      return -1;
    }
    return PosixFileOps::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    if (fail_rename) {
      errno = EXDEV;
      return -1;
    }
    return PosixFileOps::rename(from, to);
  }
};

// Leaves fsync out: for tests that only care about content, it keeps them fast.
class NoSyncFileOps : public PosixFileOps {
 public:
  int fsync(int) override { return 0; }
};

// Collects trace lines while it lives.
class TraceRecorder {
 public:
  TraceRecorder() { previous_ = set_trace_sink([this](const std::string& line) { lines.push_back(line); }); }
  ~TraceRecorder() { set_trace_sink(std::move(previous_)); }
  bool contains(const std::string& part) const {
    for (const auto& line : lines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> lines;

 private:
  TraceSink previous_;
};

}  // namespace norvane::test
