#pragma once
// A profile file (".pro"): the image of one profile record and nothing else, exactly
// 101,544 bytes, as in the profile store. Reading checks the file before it becomes a
// profile; writing replaces the file atomically.

#include <cstdint>
#include <memory>
#include <string>

#include "core/profile_record.h"
#include "storage/atomic_file.h"
#include "storage/record_repair.h"

namespace norvane {

inline constexpr char kProfileFileSuffix[] = "pro";
inline constexpr uint64_t kProfileFileBytes = sizeof(ProfileRecord);  // 101,544

enum class ProfileFileError {
  none,
  unreadable,  // the file cannot be opened or read (missing, no permission, a folder)
  wrong_size,  // shorter or longer than one record: no profile file
};

struct ProfileFileRead {
  ProfileFileError error = ProfileFileError::none;
  int system_error = 0;  // errno of the open or read that failed
  // Bytes the file holds; for a file longer than a record, a record and one byte.
  uint64_t bytes_read = 0;
  std::unique_ptr<ProfileRecord> record;  // the checked record, when there is no error
  RepairNotes repairs;                    // what the checks set right in it

  bool ok() const { return error == ProfileFileError::none; }
};

// Reads and checks a profile file. A file of the wrong size is refused. In a file of
// the right size, a name or macro name that does not end within its field is cut and
// terminated, a macro event count above 190 is clamped, and a value of a list, option
// or slider outside its range is set to its default; each repair is traced and kept
// in `repairs`. Reading never changes the file.
ProfileFileRead read_profile_file(const std::string& path);

// Writes the record's image to `path` atomically: on failure an existing file there is
// left as it was.
SaveResult write_profile_file(const ProfileRecord& record, const std::string& path, FileOps* ops = nullptr);

}  // namespace norvane
