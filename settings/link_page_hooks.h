#pragma once
// Page behaviour that following the link side triggers but that the page owns.
// Called on the UI thread.

#include <string>

namespace norvane {

class LinkPageHooks {
 public:
  virtual ~LinkPageHooks() = default;
  // Shows the lighting rows that belong to the current record's lighting mode.
  virtual void refresh_lighting_rows() = 0;
  // Queues a save of the profile store (written off the UI thread). The current
  // record has already been copied over the last-applied one, so the change made on
  // the mouse is not sent back.
  virtual void save_profile_store() = 0;
  // Asks the worker for an apply (message 1559 to the main window).
  virtual void request_apply() = 0;
  // The language file's text for `key`, as UTF-8.
  virtual std::string language_string(const char* key) const = 0;
};

}  // namespace norvane
