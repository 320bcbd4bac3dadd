#pragma once
// Carries out one command on the settings page: the page of this process (no instance
// was running) or of the running instance (the request came over its socket). Either
// way the page's own operations do the work, so the window, the stores and the mouse
// see the same changes as from the page's controls.

#include <QString>
#include <functional>

#include "app/cli/cli_request.h"

namespace norvane {
class CMS_1_Page;
}

namespace norvane::cli {

struct Reply {
  int exit_code = kExitDone;
  QString out;  // for stdout
  QString err;  // for stderr: one line that says why
};

// Lets the page work (messages, the worker's hand-overs) until `done` holds or
// `timeout_ms` has passed; true when it holds.
using WaitUntil = std::function<bool(const std::function<bool()>& done, int timeout_ms)>;

struct Waits {
  WaitUntil wait_until;
  int mouse_ms = 5000;     // for a link to an awake mouse
  int battery_ms = 1500;   // for the first battery report, when the mouse is reached
  int apply_ms = 60000;    // for the mouse to take everything pending
};

Reply run_command(const Request& request, CMS_1_Page& page, const Waits& waits);

}  // namespace norvane::cli
