#include "device/driver_library_ports.h"

#include <utility>

#include "core/trace.h"

namespace norvane {

void DriverLibraryPorts::Port::set_vid_pid(int vendor_id, int product_id) {
  if (library) library->set_vidpid(vendor_id, product_id);
}
void DriverLibraryPorts::Port::open_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message) {
  if (library) library->open_dev_monitor(target, event_message, link_message);
}
void DriverLibraryPorts::Port::close_monitor() {
  if (library) library->close_dev_monitor();
}
int DriverLibraryPorts::Port::open_feature_device() { return library ? library->open_feature_device() : 0; }
void DriverLibraryPorts::Port::close_feature_device() {
  if (library) library->close_feature_device();
}
int DriverLibraryPorts::Port::open_report_device() { return library ? library->open_report_device() : 0; }
void DriverLibraryPorts::Port::close_report_device() {
  if (library) library->close_report_device();
}
int DriverLibraryPorts::Port::open_error() { return library ? library->open_error() : 0; }

namespace {

// The libraries' trace lines join the program's trace.
void trace_library_line(void* /*context*/, const char* line) { trace("%s\n", line); }

}  // namespace

DriverLibraryPorts::DriverLibraryPorts(std::string exe_folder) : exe_folder_(std::move(exe_folder)) {}

DriverLibraryPorts::~DriverLibraryPorts() { unload(); }

void DriverLibraryPorts::load() {
  if (owned_) return;
  owned_ = std::make_unique<DriverLibraries>(exe_folder_);
  for (LibraryLink which : {LibraryLink::wired, LibraryLink::wireless, LibraryLink::wireless_8k}) {
    DriverLibrary* lib = library(which);
    if (!lib->loaded()) trace("driver library not loaded: %s\n", lib->load_error().c_str());
    const NvTraceTarget target{nullptr, &trace_library_line};
    lib->set_trace_target(&target);
    ports_[static_cast<size_t>(which)].library = lib;
  }
  libraries_.store(owned_.get(), std::memory_order_release);
}

void DriverLibraryPorts::unload() {
  // The libraries stay allocated until destruction: a late write from another
  // thread finds them unloaded and returns 0.
  if (owned_) owned_->unload_all();
}

DriverLinkPort& DriverLibraryPorts::link(LibraryLink which) { return ports_[static_cast<size_t>(which)]; }

DriverLibrary* DriverLibraryPorts::library(LibraryLink which) const {
  DriverLibraries* libs = owned_.get();
  if (!libs) return nullptr;
  switch (which) {
    case LibraryLink::wired:
      return &libs->wired;
    case LibraryLink::wireless:
      return &libs->wireless;
    case LibraryLink::wireless_8k:
      break;
  }
  return &libs->wireless_8k;
}

int DriverLibraryPorts::set_feature(LibraryLink which, std::span<const uint8_t> buffer) {
  DriverLibraries* libs = libraries_.load(std::memory_order_acquire);
  if (!libs || which == LibraryLink::wireless_8k) return 0;
  DriverLibrary& lib = which == LibraryLink::wired ? libs->wired : libs->wireless;
  return lib.set_feature(buffer.data(), static_cast<int>(buffer.size()));
}

int DriverLibraryPorts::write_usb(std::span<const uint8_t> buffer) {
  DriverLibraries* libs = libraries_.load(std::memory_order_acquire);
  if (!libs) return 0;
  return libs->wireless_8k.write_usb(buffer.data(), static_cast<int>(buffer.size()));
}

}  // namespace norvane
