// The driver entry points over hidapi (the eleven of every library and the two
// optional ones). Built three times, as hiddriver_2.so, hiddriver_1.so and
// hiddriver_8k.so; each library holds its own driver, identifiers and device.

#include <type_traits>

#include "drivers/driver_api.h"
#include "drivers/hidapi/hid_driver.h"

#define DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
norvane::hiddriver::HidDriver& driver() {
  static norvane::hiddriver::HidDriver instance(norvane::hiddriver::driver_backend());
  return instance;
}
}  // namespace

DRIVER_EXPORT int Set_VIDPID(int vendor_id, int product_id) {
  return driver().set_vidpid(vendor_id, product_id);
}
DRIVER_EXPORT int Open_DevMonitor(NvPostTarget* window, uint32_t event_message,
                                  uint32_t link_message) {
  return driver().open_monitor(window, event_message, link_message);
}
DRIVER_EXPORT int Close_DevMonitor(void) { return driver().close_monitor(); }
DRIVER_EXPORT int Open_FeatureDevice(void) { return driver().open_feature(); }
DRIVER_EXPORT int Close_FeatureDevice(void) { return driver().close_feature(); }
DRIVER_EXPORT int SetFeature(const unsigned char* buffer, int length) {
  return driver().set_feature(buffer, length);
}
DRIVER_EXPORT int GetFeature(unsigned char* buffer, int length) {
  return driver().get_feature(buffer, length);
}
DRIVER_EXPORT int Open_ReportDevice(void) { return driver().open_report(); }
DRIVER_EXPORT int Close_ReportDevice(void) { return driver().close_report(); }
DRIVER_EXPORT int WriteUSB(const unsigned char* buffer, int length) {
  return driver().write_report(buffer, length);
}
DRIVER_EXPORT int ReadUSB(unsigned char* buffer, int length) {
  return driver().read_report(buffer, length);
}
DRIVER_EXPORT int Get_OpenError(void) { return driver().open_error(); }
DRIVER_EXPORT void Set_TraceTarget(const NvTraceTarget* target) { driver().set_trace_target(target); }

#include "drivers/entry_point_checks.h"
