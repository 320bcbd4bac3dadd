#pragma once
// Run-time loading of the three vendor driver libraries (drivers/driver_api.h).
//
// Each DriverLibrary loads one shared object from the executable's folder and
// resolves its entry points by name. A library that is missing, or that lacks
// an entry point its link calls, is left unloaded: every call on it is skipped
// and returns 0, so the link is never present and callers need not test
// pointers. The optional entry points (Get_OpenError, Set_TraceTarget) are
// resolved when present and skipped otherwise. Calls may come from several threads; unload() waits for calls in
// progress and makes later calls no-ops, so a late send from the worker thread
// cannot run code of a released library.

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>

#include "drivers/driver_api.h"

namespace norvane {

enum class DriverLink { Wired, Wireless, Wireless8k };

// The file each link is loaded from, e.g. "hiddriver_2.so" for the cable.
const char* driver_file_name(DriverLink link);

class DriverLibrary {
 public:
  // Loads `file_name` from `folder` (with or without a trailing '/'). The 8 kHz
  // link also needs the report channel (Open_ReportDevice, Close_ReportDevice,
  // WriteUSB); the other links need SetFeature instead.
  DriverLibrary(const std::string& folder, const std::string& file_name, DriverLink link);
  ~DriverLibrary();
  DriverLibrary(const DriverLibrary&) = delete;
  DriverLibrary& operator=(const DriverLibrary&) = delete;

  bool loaded() const;
  // Why the library is not loaded (empty when it is).
  const std::string& load_error() const { return load_error_; }
  DriverLink link() const { return link_; }

  // Releases the library. Waits for calls in progress; later calls return 0.
  void unload();

  int set_vidpid(int vendor_id, int product_id);
  int open_dev_monitor(NvPostTarget* target, uint32_t event_message, uint32_t link_message);
  int close_dev_monitor();
  int open_feature_device();
  int close_feature_device();
  int set_feature(const unsigned char* buffer, int length);
  int get_feature(unsigned char* buffer, int length);
  int open_report_device();
  int close_report_device();
  int write_usb(const unsigned char* buffer, int length);
  int read_usb(unsigned char* buffer, int length);
  // Why the last open returned 0: the errno of a node of the device that exists
  // but cannot be opened, 0 otherwise or when the library cannot tell.
  int open_error();
  // Where the library writes its trace lines; nothing when it cannot.
  void set_trace_target(const NvTraceTarget* target);

 private:
  struct EntryPoints {
    Set_VIDPID_fn set_vidpid = nullptr;
    Open_DevMonitor_fn open_dev_monitor = nullptr;
    Close_DevMonitor_fn close_dev_monitor = nullptr;
    Open_FeatureDevice_fn open_feature_device = nullptr;
    Close_FeatureDevice_fn close_feature_device = nullptr;
    SetFeature_fn set_feature = nullptr;
    GetFeature_fn get_feature = nullptr;
    Open_ReportDevice_fn open_report_device = nullptr;
    Close_ReportDevice_fn close_report_device = nullptr;
    WriteUSB_fn write_usb = nullptr;
    ReadUSB_fn read_usb = nullptr;
    Get_OpenError_fn get_open_error = nullptr;
    Set_TraceTarget_fn set_trace_target = nullptr;
  };

  // Calls `fn` with `args` under the shared lock when the library is loaded
  // and the entry point resolved; returns 0 otherwise.
  template <typename Fn, typename... Args>
  int call(Fn EntryPoints::*member, Args... args);

  bool resolve_all(std::string& missing);

  DriverLink link_;
  void* handle_ = nullptr;
  EntryPoints entry_;
  std::string load_error_;
  mutable std::shared_mutex lifetime_;
};

// The three libraries of the program, loaded in the order cable, 2.4 GHz, 8 kHz.
struct DriverLibraries {
  explicit DriverLibraries(const std::string& exe_folder);
  DriverLibrary wired;
  DriverLibrary wireless;
  DriverLibrary wireless_8k;

  DriverLibrary& of(DriverLink link);
  // Unloads in the order cable, 2.4 GHz, 8 kHz.
  void unload_all();
};

}  // namespace norvane
