#pragma once
// What the settings page tells and does for a script (the command line, in this
// process or over the single-instance socket): its state at a glance, and the outcome
// of an operation as one line for the user. The operations themselves are members of
// CMS_1_Page (page_commands.cpp) and go through the page's own handlers.

#include <string>
#include <vector>

namespace norvane {

struct PageStatus {
  std::vector<std::string> links;  // the links that are up: "cable", "2.4GHz", "8kHz", "bluetooth"
  bool asleep = true;              // no link reaches an awake mouse
  int battery_level = -1;          // 0..100, -1 while no report came
  bool charging = false;
  int profile_index = -1;          // the current profile, 0-based; -1 before the store is loaded
  std::string profile_name;        // UTF-8
  // The sections the next apply would send ("dpi", "rate", "light", "buttons",
  // "macros"; "everything" while the whole profile is due).
  std::vector<std::string> pending;
};

// The outcome of one page operation: empty `error` when it was done.
struct PageCommandResult {
  std::string error;      // one line for the user (UTF-8)
  std::string error_key;  // the language key of the message box the page shows for it, if any
  bool changed = false;   // with an error: the profile changed all the same (it is still to be sent)
  bool ok() const { return error.empty(); }
};

}  // namespace norvane
