#pragma once
// Keeping a damaged store file next to the store under a time-stamped name
// ("pro.data.damaged-20261207-201530"), so repairing or replacing the store never
// destroys the only copy of what the user had.

#include <ctime>
#include <optional>
#include <string>

#include "storage/file_ops.h"

namespace norvane {

enum class AsideMode {
  move,  // the file leaves its place (the store is about to be recreated)
  copy,  // the file stays where it is, and a copy is kept as well
};

// Sets `path` aside under "<path>.damaged-<local time of now>", with "-2", "-3", ...
// added when that name is taken; an existing file is never replaced. Returns the new
// path, or nothing when the file could not be set aside (it is then left untouched).
std::optional<std::string> set_damaged_file_aside(FileOps& ops, const std::string& path, std::time_t now,
                                                  AsideMode mode);

}  // namespace norvane
