#pragma once
// Helpers of the store tests: a private temporary folder, whole-file reads and
// writes, a file-system seam that fails on demand, and a trace recorder.

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
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
// The settings may change from the test's thread while a store writer thread writes.
class FaultyFileOps : public PosixFileOps {
 public:
  std::atomic<size_t> write_budget = SIZE_MAX;
  std::atomic<bool> fail_fsync = false;
  std::atomic<bool> fail_rename = false;

  ssize_t write(int fd, const void* data, size_t size) override {
    if (write_budget == 0) {
      errno = ENOSPC;
      return -1;
    }
    const size_t budget = write_budget;
    const size_t allowed = size < budget ? size : budget;
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

// The real calls without fsync, counting what saves do with the disk: files created,
// bytes written, flushes asked for and renames. A store writer's thread may count
// while the test reads.
class RecordingFileOps : public NoSyncFileOps {
 public:
  std::atomic<size_t> created = 0;
  std::atomic<size_t> written = 0;
  std::atomic<size_t> fsyncs = 0;
  std::atomic<size_t> renames = 0;

  bool touched_nothing() const { return created == 0 && written == 0 && fsyncs == 0 && renames == 0; }
  void clear() {
    created = 0;
    written = 0;
    fsyncs = 0;
    renames = 0;
  }

  int open(const char* path, int flags, mode_t mode) override {
    if (flags & O_CREAT) ++created;
    return NoSyncFileOps::open(path, flags, mode);
  }
  ssize_t write(int fd, const void* data, size_t size) override {
    const ssize_t n = NoSyncFileOps::write(fd, data, size);
    if (n > 0) written += static_cast<size_t>(n);
    return n;
  }
  int fsync(int fd) override {
    ++fsyncs;
    return NoSyncFileOps::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    ++renames;
    return NoSyncFileOps::rename(from, to);
  }
};

// The real calls without fsync, except that every write waits at a gate while it is
// closed, and the test can see that a write is waiting and from which thread. A write
// waits at most `kGateLimit` (an upper bound for a test that fails, never a pause).
class GatedFileOps : public NoSyncFileOps {
 public:
  static constexpr auto kGateLimit = std::chrono::seconds(20);

  void close_gate() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
  }
  void open_gate() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  // Waits until a write waits at the closed gate; false if none came.
  bool wait_until_a_write_waits() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kGateLimit, [this] { return waiting_ > 0; });
  }
  // False once a write had to go on because the gate stayed closed too long.
  bool every_write_let_through() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !timed_out_;
  }
  std::vector<std::thread::id> writing_threads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
  }
  // Paths of the files created for writing, in order.
  std::vector<std::string> created() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return created_;
  }

  int open(const char* path, int flags, mode_t mode) override {
    if (flags & O_CREAT) {
      std::lock_guard<std::mutex> lock(mutex_);
      created_.push_back(path);
    }
    return NoSyncFileOps::open(path, flags, mode);
  }
  ssize_t write(int fd, const void* data, size_t size) override {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      threads_.push_back(std::this_thread::get_id());
      ++waiting_;
      changed_.notify_all();
      if (!changed_.wait_for(lock, kGateLimit, [this] { return open_; })) timed_out_ = true;
      --waiting_;
    }
    return NoSyncFileOps::write(fd, data, size);
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = true;
  int waiting_ = 0;
  bool timed_out_ = false;
  std::vector<std::thread::id> threads_;
  std::vector<std::string> created_;
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
