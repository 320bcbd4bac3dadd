#include "storage/profile_file.h"

#include <cstring>
#include <span>

#include "core/trace.h"
#include "storage/record_file_reader.h"

namespace norvane {

ProfileFileRead read_profile_file(const std::string& path) {
  ProfileFileRead result;
  // A file the user picked: reached through a link is fine, a pipe or device is not.
  ReadOnlyFile file(path, UINT64_MAX, LinkHandling::follow);
  if (file.error()) {
    result.error = ProfileFileError::unreadable;
    result.system_error = file.error();
    trace("profile file %s: cannot open: %s\n", path.c_str(), std::strerror(result.system_error));
    return result;
  }

  // One byte more than a record tells a long file from an exact one without reading
  // all of it.
  auto record = std::make_unique<ProfileRecord>();
  const size_t got = file.read(record.get(), sizeof(ProfileRecord));
  std::byte extra{};
  const size_t more = got == sizeof(ProfileRecord) ? file.read(&extra, 1) : 0;
  result.bytes_read = got + more;
  if (file.error()) {
    result.error = ProfileFileError::unreadable;
    result.system_error = file.error();
    trace("profile file %s: cannot read: %s\n", path.c_str(), std::strerror(result.system_error));
    return result;
  }
  if (result.bytes_read != kProfileFileBytes) {
    result.error = ProfileFileError::wrong_size;
    trace("profile file %s: %s than a profile (%llu bytes), refused\n", path.c_str(),
          result.bytes_read < kProfileFileBytes ? "shorter" : "longer",
          static_cast<unsigned long long>(kProfileFileBytes));
    return result;
  }

  // Names, macro counts, and every value the page shows or a report sends.
  repair_profile_record(*record, 0, result.repairs);
  for (const std::string& line : result.repairs) trace("profile file %s: %s\n", path.c_str(), line.c_str());
  result.record = std::move(record);
  return result;
}

SaveResult write_profile_file(const ProfileRecord& record, const std::string& path, FileOps* ops) {
  // No other writer in the program touches a file the user chose, so unlike the
  // stores it needs no lock.
  const auto bytes = std::as_bytes(std::span<const ProfileRecord, 1>(&record, 1));
  const SaveResult result = write_file_atomically(file_ops_or_posix(ops), path, bytes);
  if (!result.ok()) trace("profile file not written: %s: %s\n", result.detail.c_str(), result.error.message().c_str());
  return result;
}

}  // namespace norvane
