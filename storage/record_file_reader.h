#pragma once
// Reading a store file made of an optional head block followed by fixed-size record
// images, keeping every record that is whole and saying exactly where reading stopped.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

// An open file descriptor, closed when it goes out of scope.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path);  // check error() afterwards
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  int error() const { return error_; }  // errno of the open or of the last read, 0 when none

  // Reads up to `size` bytes, retrying short reads; returns the count (less than
  // `size` only at the end of the file or on an error, see error()).
  size_t read(void* buffer, size_t size);

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Where reading a record file ended.
struct RecordFileRead {
  int open_error = 0;     // errno of the open; 0 when the file was opened
  int read_error = 0;     // errno of a read that failed; 0 when reading reached the end
  size_t head_bytes = 0;  // bytes read into the head block
  size_t tail_bytes = 0;  // bytes of a last record cut short (dropped)

  bool opened() const { return open_error == 0; }
  bool whole() const { return opened() && read_error == 0 && tail_bytes == 0; }
};

// Reads `head_size` bytes into `head`, then appends each whole record to `records`.
// A head cut short stops the reading with no record.
template <typename Record>
RecordFileRead read_record_file(const std::string& path, void* head, size_t head_size,
                                std::vector<std::unique_ptr<Record>>& records) {
  RecordFileRead result;
  ReadOnlyFile file(path);
  if (file.error()) {
    result.open_error = file.error();
    return result;
  }
  result.head_bytes = head_size ? file.read(head, head_size) : 0;
  if (result.head_bytes < head_size) {
    result.read_error = file.error();
    return result;
  }
  for (;;) {
    auto record = std::make_unique_for_overwrite<Record>();
    const size_t got = file.read(record.get(), sizeof(Record));
    if (got == sizeof(Record)) {
      records.push_back(std::move(record));
      continue;
    }
    result.read_error = file.error();
    result.tail_bytes = got;
    return result;
  }
}

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::vector<std::byte>> read_whole_file(const std::string& path);

}  // namespace norvane
