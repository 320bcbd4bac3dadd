#pragma once
// The Bluetooth LE transport as the link side drives it. UI thread only.

#include <string>

namespace norvane {

class BleLinkPort {
 public:
  virtual ~BleLinkPort() = default;
  // Non-empty fragments enable writing and registration; empty ones disable them.
  virtual void set_fragments(const std::string& vid, const std::string& pid) = 0;
  // True while a notification registration is held.
  virtual bool has_registration() const = 0;
  // Subscribes to the mouse's notifications; events then reach the UI thread.
  virtual void register_notifications() = 0;
  // Releases and forgets the held registration; true when one was held and its
  // release succeeded.
  virtual bool unregister_notifications() = 0;
};

}  // namespace norvane
