#pragma once
// What loading a store found, for the page to show and for the trace.

#include <ctime>
#include <string>

#include "storage/atomic_file.h"
#include "storage/file_ops.h"

namespace norvane {

enum class LoadOutcome {
  loaded,           // read as stored
  created_default,  // there was no store yet: the defaults (one profile, or no macro)
  repaired,         // every whole record kept; what was fixed or dropped is in `message`
  damaged_moved_aside,    // nothing could be kept: the file was moved to `aside_path`, defaults used
  damaged_left_in_place,  // nothing could be kept nor moved: defaults in memory only, file untouched
};

struct LoadResult {
  LoadOutcome outcome = LoadOutcome::loaded;
  std::string message;     // what happened, one line per finding; empty when loaded as stored
  std::string aside_path;  // where the damaged original was kept, when it was
  bool saved = false;      // whether the load wrote the store (defaults or the repaired list)
  SaveResult save;         // the outcome of that write
};

// How a load reaches the disk.
struct StoreOptions {
  FileOps* ops = nullptr;                 // null: the real file system
  std::time_t now = std::time(nullptr);  // time stamp of a damaged file's new name
};

const char* to_string(LoadOutcome outcome);

}  // namespace norvane
