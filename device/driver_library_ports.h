#pragma once
// The three vendor driver libraries, loaded from the executable's folder, as the
// link controller's DriverLinkPorts, plus the two writes the sender needs. The
// libraries are loaded by load() (from the controller's open_links) and released
// by unload() (from close_links); a library that failed to load answers every call
// with 0, so its link simply never comes up.

#include <array>
#include <atomic>
#include <memory>
#include <span>
#include <string>

#include "device/driver_library.h"
#include "device/driver_link_ports.h"

namespace norvane {

class DriverLibraryPorts final : public DriverLinkPorts {
 public:
  explicit DriverLibraryPorts(std::string exe_folder);
  ~DriverLibraryPorts() override;

  void load() override;
  void unload() override;
  DriverLinkPort& link(LibraryLink which) override;

  // SetFeature of the cable or 2.4 GHz library, WriteUSB of the 8 kHz library.
  // Any thread; 0 before load() and after unload().
  int set_feature(LibraryLink which, std::span<const uint8_t> buffer);
  int write_usb(std::span<const uint8_t> buffer);

 private:
  class Port final : public DriverLinkPort {
   public:
    void set_vid_pid(int vendor_id, int product_id) override;
    void open_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message) override;
    void close_monitor() override;
    int open_feature_device() override;
    void close_feature_device() override;
    int open_report_device() override;
    void close_report_device() override;
    int open_error() override;

    DriverLibrary* library = nullptr;  // UI thread only
  };

  DriverLibrary* library(LibraryLink which) const;

  std::string exe_folder_;
  std::unique_ptr<DriverLibraries> owned_;
  std::atomic<DriverLibraries*> libraries_{nullptr};
  std::array<Port, 3> ports_;
};

}  // namespace norvane
