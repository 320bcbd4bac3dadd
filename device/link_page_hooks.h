#pragma once
// Page behaviour the link side triggers but does not own. Called on the UI thread.

namespace norvane {

class LinkPageHooks {
 public:
  virtual ~LinkPageHooks() = default;
  // Shows the lighting rows that belong to the current record's lighting mode.
  virtual void refresh_lighting_rows() = 0;
  // Writes the profile store. The link side has already copied the current record
  // over the last-applied one, so the change made on the mouse is not sent back.
  virtual void save_profile_store() = 0;
  // The page's own main-window timers (delayed apply request, section scroll).
  virtual void on_settings_timer(int id) = 0;
};

}  // namespace norvane
