#pragma once
// Reading a store file made of an optional head block followed by fixed-size record
// images, keeping every record that is whole and saying exactly where reading stopped.
//
// Only a regular file is ever read. The data folder may be writable by someone else
// (a shared or badly set up folder), so a store name that is a symbolic link, a named
// pipe, a device or a folder is refused without being followed or read: following a
// link would copy another file's bytes into the store, a pipe would block start-up
// and a device such as /dev/zero never ends. A file larger than the caller's limit is
// refused as well, before any of it is read.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/record_block.h"
#include "storage/file_identity.h"

namespace norvane {

// Why a file was not read although it is there.
enum class FileRefusal {
  none,
  not_regular,  // a symbolic link, named pipe, socket, device or folder
  too_large,    // more bytes than the reader's limit
};

// Whether a symbolic link is followed. Stores refuse links (see above); a file the
// user picked to import may be reached through one, but must still be a regular file.
enum class LinkHandling : uint8_t { refuse, follow };

// An open regular file, closed when it goes out of scope.
class ReadOnlyFile {
 public:
  // Opens `path` without following a symbolic link in its last component (unless
  // `links` says so) and without waiting on a named pipe; refuses anything but a
  // regular file of at most `max_bytes`. Check error() and refusal() afterwards.
  explicit ReadOnlyFile(const std::string& path, uint64_t max_bytes = UINT64_MAX,
                        LinkHandling links = LinkHandling::refuse);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // errno of the open or of the last read, 0 when none; a refused file gives ELOOP (a
  // symbolic link), EISDIR (a folder), EINVAL (anything else not regular) or EFBIG.
  int error() const { return error_; }
  FileRefusal refusal() const { return refusal_; }
  // What was found instead of a regular file ("a symbolic link", "a named pipe", ...),
  // or the size of a file refused as too large; empty when nothing was refused.
  const std::string& refused_what() const { return refused_what_; }
  bool usable() const { return fd_ >= 0; }
  mode_t mode() const { return mode_; }  // permission bits of the opened file
  // The opened file as it was when opened, before any of it was read.
  const std::optional<FileIdentity>& identity() const { return identity_; }

  // Reads up to `size` bytes, retrying short reads; returns the count (less than
  // `size` only at the end of the file, on an error (see error()) or when the file
  // grew past the limit while it was read (see refusal())).
  size_t read(void* buffer, size_t size);
  // The same into each of `parts` in turn, with as few calls as the system allows.
  size_t read_parts(std::span<const std::span<std::byte>> parts);

 private:
  void refuse(FileRefusal why, std::string what);

  int fd_ = -1;
  int error_ = 0;
  FileRefusal refusal_ = FileRefusal::none;
  std::string refused_what_;
  mode_t mode_ = 0;
  std::optional<FileIdentity> identity_;
  uint64_t max_bytes_;
  uint64_t read_so_far_ = 0;
};

// Where reading a record file ended.
struct RecordFileRead {
  int open_error = 0;     // errno of the open; 0 when the file was opened
  FileRefusal refusal = FileRefusal::none;  // set: the file was there but not read
  std::string refused_what;
  int read_error = 0;     // errno of a read that failed; 0 when reading reached the end
  size_t head_bytes = 0;  // bytes read into the head block
  size_t tail_bytes = 0;  // bytes of a last record cut short (dropped)
  std::optional<FileIdentity> file;  // the file read, as it was when opened

  bool opened() const { return open_error == 0 && refusal == FileRefusal::none; }
  bool whole() const { return opened() && read_error == 0 && tail_bytes == 0; }
};

// Reads `head_size` bytes into `head`, then appends each whole record to `records`.
// A head cut short stops the reading with no record. A file that is not regular or
// holds more than `max_bytes` is refused with no record read.
template <typename Record>
RecordFileRead read_record_file(const std::string& path, void* head, size_t head_size,
                                std::vector<std::unique_ptr<Record>>& records, uint64_t max_bytes) {
  RecordFileRead result;
  ReadOnlyFile file(path, max_bytes);
  if (!file.usable()) {
    result.open_error = file.error();
    result.refusal = file.refusal();
    result.refused_what = file.refused_what();
    return result;
  }
  result.file = file.identity();
  result.head_bytes = head_size ? file.read(head, head_size) : 0;
  if (result.head_bytes < head_size) {
    result.read_error = file.error();
    return result;
  }
  // The records the file's size promises, in one go; then, one by one, any it gained
  // while it was read, until its end.
  const uint64_t size = result.file ? result.file->size : 0;
  const size_t promised = size > head_size ? static_cast<size_t>((size - head_size) / sizeof(Record)) : 0;
  std::vector<std::unique_ptr<Record>> read;
  // Those records are read into one block.
  const RecordBlockScope block(sizeof(Record), promised);
  std::vector<std::span<std::byte>> parts;
  read.reserve(promised);
  parts.reserve(promised);
  for (size_t i = 0; i < promised; ++i) {
    read.push_back(std::make_unique_for_overwrite<Record>());
    parts.push_back(std::as_writable_bytes(std::span<Record, 1>(read.back().get(), 1)));
  }
  const size_t filled = file.read_parts(parts);
  if (file.refusal() != FileRefusal::none) {
    result.refusal = file.refusal();
    result.refused_what = file.refused_what();
    return result;
  }
  if (filled < promised * sizeof(Record)) {  // it shrank while it was read, or a read failed
    read.resize(filled / sizeof(Record));
    result.read_error = file.error();
    result.tail_bytes = filled % sizeof(Record);
    for (auto& r : read) records.push_back(std::move(r));
    return result;
  }
  for (;;) {
    auto record = std::make_unique_for_overwrite<Record>();
    const size_t got = file.read(record.get(), sizeof(Record));
    if (file.refusal() != FileRefusal::none) {
      // It grew past the limit while it was read: nothing of it is kept.
      result.refusal = file.refusal();
      result.refused_what = file.refused_what();
      return result;
    }
    if (got == sizeof(Record)) {
      read.push_back(std::move(record));
      continue;
    }
    result.read_error = file.error();
    result.tail_bytes = got;
    for (auto& r : read) records.push_back(std::move(r));
    return result;
  }
}

// The whole content of a regular file of at most `max_bytes`, or nothing when it
// cannot be read or is refused. `mode`, when given, receives its permission bits.
std::optional<std::vector<std::byte>> read_whole_file(const std::string& path, uint64_t max_bytes,
                                                      mode_t* mode = nullptr);

}  // namespace norvane
