#pragma once
// Page behaviour that following the link side triggers but that the page owns.
// Called on the UI thread.

namespace norvane {

class LinkPageHooks {
 public:
  virtual ~LinkPageHooks() = default;
  // Shows the lighting rows that belong to the current record's lighting mode.
  virtual void refresh_lighting_rows() = 0;
  // Writes the profile store. The current record has already been copied over the
  // last-applied one, so the change made on the mouse is not sent back.
  virtual void save_profile_store() = 0;
};

}  // namespace norvane
