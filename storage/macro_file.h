#pragma once
// Macro files ("*.macro"): one macro record, 3,096 bytes, byte for byte as in the
// macro store. A file is checked before its macro may enter the library, so the
// library only ever holds macros the editor and the mouse can take.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/macro_record.h"
#include "storage/atomic_file.h"
#include "storage/file_ops.h"

namespace norvane {

inline constexpr char kMacroFileSuffix[] = "macro";

enum class MacroFileProblem : uint8_t {
  none,
  unreadable,       // the file could not be opened or read (`error` holds errno)
  wrong_size,       // not exactly one record long
  bad_event_count,  // event count outside 0..190
  too_large,        // the events take more than 191 units of the mouse's memory
  bad_event_kind,   // an event that is neither a press, a release nor a movement
};

const char* to_string(MacroFileProblem problem);

struct MacroFileRead {
  MacroFileProblem problem = MacroFileProblem::none;
  int error = 0;          // errno, for `unreadable`
  size_t size = 0;        // bytes read, at most one more than a record
  bool name_cut = false;  // the name had no terminating zero: it was cut to 23 characters
  std::unique_ptr<MacroRecord> record;  // the checked macro, when there is no problem
  std::string detail;     // one line for the trace: what was wrong, where
};

// Reads and checks the macro file at `path`.
MacroFileRead read_macro_file(const std::string& path);

// Checks a record read from a file and brings the parts that can be mended in line: a
// name without its terminating zero is cut to 23 characters (never inside a surrogate
// pair) and the events past the count are zeroed. Returns the first problem that
// refuses the record.
MacroFileProblem check_macro_record(MacroRecord& record, bool* name_cut = nullptr, std::string* detail = nullptr);

// Writes the record to `path` atomically: the old file stays whole when writing fails.
SaveResult write_macro_file(const std::string& path, const MacroRecord& record, FileOps* ops = nullptr);

}  // namespace norvane
