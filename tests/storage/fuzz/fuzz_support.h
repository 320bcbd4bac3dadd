#pragma once
// Shared by the store fuzzers: a private folder under $TMPDIR that every input starts
// from empty, and the file an input stands for.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace norvane::fuzz {

// Fails the run at once: a broken invariant is as much a finding as a crash.
#define NORVANE_FUZZ_CHECK(condition) \
  do {                                \
    if (!(condition)) __builtin_trap(); \
  } while (0)

class FuzzFolder {
 public:
  FuzzFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-fuzz-XXXXXX").string();
    NORVANE_FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

  // Removes everything the previous input left.
  void clear() const {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ec)) std::filesystem::remove_all(entry, ec);
  }

  void write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const int fd = ::open((path_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    NORVANE_FUZZ_CHECK(fd >= 0);
    NORVANE_FUZZ_CHECK(bytes.empty() || ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  }

  size_t entries() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++n;
    return n;
  }

 private:
  std::string path_;
};

// The file an input stands for. An even first byte: the rest of the input, as is.
// An odd one: a file shaped like a store, `records` whole records (byte 1, 0..3)
// plus a signed byte count (bytes 2..3) around them, filled by repeating the rest
// of the input, so short inputs reach deep into the records.
inline std::vector<uint8_t> file_for_input(const uint8_t* data, size_t size, size_t head, size_t record) {
  if (size == 0) return {};
  if (data[0] % 2 == 0 || size < 4) return std::vector<uint8_t>(data + 1, data + size);
  const size_t records = data[1] % 4;
  const int16_t delta = static_cast<int16_t>(data[2] | data[3] << 8);
  const long long length = static_cast<long long>(head + records * record) + delta;
  std::vector<uint8_t> bytes(static_cast<size_t>(length < 0 ? 0 : length));
  const uint8_t* pattern = data + 4;
  const size_t period = size - 4;
  for (size_t i = 0; period && i < bytes.size(); ++i) bytes[i] = pattern[i % period];
  return bytes;
}

}  // namespace norvane::fuzz
