#pragma once
// The vendor driver libraries as the link side uses them: loading, the device
// monitor, and opening and closing each link's device. Sending is the protocol's.
// A library that failed to load (or lacks an entry point) must answer every call
// harmlessly: opens return 0, the rest do nothing.

#include <cstdint>

#include "device/library_links.h"
#include "drivers/driver_api.h"

namespace norvane {

class DriverLinkPort {
 public:
  virtual ~DriverLinkPort() = default;
  virtual void set_vid_pid(int vendor_id, int product_id) = 0;
  virtual void open_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message) = 0;
  virtual void close_monitor() = 0;
  // Non-zero: the device is there and open.
  virtual int open_feature_device() = 0;
  virtual void close_feature_device() = 0;
  // The report channel; only the 8 kHz library has one (others return 0).
  virtual int open_report_device() = 0;
  virtual void close_report_device() = 0;
  // After an open returned 0: the errno of a node of the device that exists but
  // cannot be opened (EACCES: no permission), 0 when the device is simply not there.
  virtual int open_error() { return 0; }
};

class DriverLinkPorts {
 public:
  virtual ~DriverLinkPorts() = default;
  // Loads the cable, 2.4 GHz and 8 kHz libraries, in that order.
  virtual void load() = 0;
  // Releases the cable, 2.4 GHz and 8 kHz libraries, each only if it was loaded.
  virtual void unload() = 0;
  virtual DriverLinkPort& link(LibraryLink which) = 0;
};

}  // namespace norvane
