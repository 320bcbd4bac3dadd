#include "device/driver_library.h"

#include <dlfcn.h>

#include <mutex>

namespace norvane {

const char* driver_file_name(DriverLink link) {
  switch (link) {
    case DriverLink::Wired: return "hiddriver_2.so";
    case DriverLink::Wireless: return "hiddriver_1.so";
    case DriverLink::Wireless8k: return "hiddriver_8k.so";
  }
  return "";
}

namespace {

std::string join_path(const std::string& folder, const std::string& file_name) {
  if (folder.empty()) return "./" + file_name;
  if (folder.back() == '/') return folder + file_name;
  return folder + "/" + file_name;
}

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& out) {
  // Clear a stale error so a null symbol is told apart from a failed lookup.
  dlerror();
  void* symbol = dlsym(handle, name);
  if (dlerror() != nullptr || symbol == nullptr) return false;
  out = reinterpret_cast<Fn>(symbol);
  return true;
}

}  // namespace

DriverLibrary::DriverLibrary(const std::string& folder, const std::string& file_name,
                             DriverLink link)
    : link_(link) {
  const std::string path = join_path(folder, file_name);
  // RTLD_LOCAL: the three libraries export the same names and each must keep
  // its own.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    load_error_ = why != nullptr ? why : ("cannot load " + path);
    return;
  }
  std::string missing;
  if (!resolve_all(missing)) {
    load_error_ = path + ": missing entry point " + missing;
    entry_ = EntryPoints{};
    dlclose(handle_);
    handle_ = nullptr;
  }
}

DriverLibrary::~DriverLibrary() { unload(); }

bool DriverLibrary::resolve_all(std::string& missing) {
  // Entry points the link calls: without one of them the link cannot work.
  struct Required {
    const char* name;
    bool ok;
  };
  const bool report_channel = link_ == DriverLink::Wireless8k;
  Required required[] = {
      {"Set_VIDPID", resolve(handle_, "Set_VIDPID", entry_.set_vidpid)},
      {"Open_DevMonitor", resolve(handle_, "Open_DevMonitor", entry_.open_dev_monitor)},
      {"Close_DevMonitor", resolve(handle_, "Close_DevMonitor", entry_.close_dev_monitor)},
      {"Open_FeatureDevice", resolve(handle_, "Open_FeatureDevice", entry_.open_feature_device)},
      {"Close_FeatureDevice",
       resolve(handle_, "Close_FeatureDevice", entry_.close_feature_device)},
      {"SetFeature", resolve(handle_, "SetFeature", entry_.set_feature) || report_channel},
      {"Open_ReportDevice",
       resolve(handle_, "Open_ReportDevice", entry_.open_report_device) || !report_channel},
      {"Close_ReportDevice",
       resolve(handle_, "Close_ReportDevice", entry_.close_report_device) || !report_channel},
      {"WriteUSB", resolve(handle_, "WriteUSB", entry_.write_usb) || !report_channel},
  };
  // Looked up but never needed by the program.
  resolve(handle_, "GetFeature", entry_.get_feature);
  resolve(handle_, "ReadUSB", entry_.read_usb);
  // Optional: a library without them only tells less.
  resolve(handle_, "Get_OpenError", entry_.get_open_error);
  resolve(handle_, "Set_TraceTarget", entry_.set_trace_target);

  for (const Required& r : required) {
    if (!r.ok) {
      missing = r.name;
      return false;
    }
  }
  return true;
}

bool DriverLibrary::loaded() const {
  std::shared_lock lock(lifetime_);
  return handle_ != nullptr;
}

void DriverLibrary::unload() {
  std::unique_lock lock(lifetime_);
  if (handle_ == nullptr) return;
  entry_ = EntryPoints{};
  dlclose(handle_);
  handle_ = nullptr;
}

template <typename Fn, typename... Args>
int DriverLibrary::call(Fn EntryPoints::*member, Args... args) {
  std::shared_lock lock(lifetime_);
  Fn fn = entry_.*member;
  if (handle_ == nullptr || fn == nullptr) return 0;
  return fn(args...);
}

int DriverLibrary::set_vidpid(int vendor_id, int product_id) {
  return call(&EntryPoints::set_vidpid, vendor_id, product_id);
}
int DriverLibrary::open_dev_monitor(NvPostTarget* target, uint32_t event_message,
                                    uint32_t link_message) {
  return call(&EntryPoints::open_dev_monitor, target, event_message, link_message);
}
int DriverLibrary::close_dev_monitor() { return call(&EntryPoints::close_dev_monitor); }
int DriverLibrary::open_feature_device() { return call(&EntryPoints::open_feature_device); }
int DriverLibrary::close_feature_device() { return call(&EntryPoints::close_feature_device); }
int DriverLibrary::set_feature(const unsigned char* buffer, int length) {
  return call(&EntryPoints::set_feature, buffer, length);
}
int DriverLibrary::get_feature(unsigned char* buffer, int length) {
  return call(&EntryPoints::get_feature, buffer, length);
}
int DriverLibrary::open_report_device() { return call(&EntryPoints::open_report_device); }
int DriverLibrary::close_report_device() { return call(&EntryPoints::close_report_device); }
int DriverLibrary::write_usb(const unsigned char* buffer, int length) {
  return call(&EntryPoints::write_usb, buffer, length);
}
int DriverLibrary::read_usb(unsigned char* buffer, int length) {
  return call(&EntryPoints::read_usb, buffer, length);
}
int DriverLibrary::open_error() { return call(&EntryPoints::get_open_error); }
void DriverLibrary::set_trace_target(const NvTraceTarget* target) {
  std::shared_lock lock(lifetime_);
  if (handle_ != nullptr && entry_.set_trace_target != nullptr) entry_.set_trace_target(target);
}

DriverLibraries::DriverLibraries(const std::string& exe_folder)
    : wired(exe_folder, driver_file_name(DriverLink::Wired), DriverLink::Wired),
      wireless(exe_folder, driver_file_name(DriverLink::Wireless), DriverLink::Wireless),
      wireless_8k(exe_folder, driver_file_name(DriverLink::Wireless8k), DriverLink::Wireless8k) {}

DriverLibrary& DriverLibraries::of(DriverLink link) {
  switch (link) {
    case DriverLink::Wired: return wired;
    case DriverLink::Wireless: return wireless;
    case DriverLink::Wireless8k: break;
  }
  return wireless_8k;
}

void DriverLibraries::unload_all() {
  wired.unload();
  wireless.unload();
  wireless_8k.unload();
}

}  // namespace norvane
