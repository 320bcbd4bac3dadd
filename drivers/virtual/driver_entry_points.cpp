// The driver entry points (the eleven and the two optional ones) of one link of
// the virtual mouse. Built three
// times, as hiddriver_2.so (cable), hiddriver_1.so (2.4 GHz) and
// hiddriver_8k.so (8 kHz), with VIRTUAL_MOUSE_LINK naming the link; all three
// reach the one mouse in libvirtual_mouse.so.

#include <type_traits>

#include "drivers/driver_api.h"
#include "drivers/virtual/virtual_mouse.h"

#ifndef VIRTUAL_MOUSE_LINK
#error "VIRTUAL_MOUSE_LINK must name the link this library serves"
#endif

#define DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
constexpr int kLink = VIRTUAL_MOUSE_LINK;
norvane::vmouse::VirtualMouse& mouse() { return norvane::vmouse::VirtualMouse::instance(); }
}  // namespace

DRIVER_EXPORT int Set_VIDPID(int vendor_id, int product_id) {
  mouse().set_vidpid(kLink, vendor_id, product_id);
  return 1;
}

DRIVER_EXPORT int Open_DevMonitor(NvPostTarget* window, uint32_t event_message,
                                  uint32_t link_message) {
  mouse().open_monitor(kLink, window, event_message, link_message);
  return 1;
}

DRIVER_EXPORT int Close_DevMonitor(void) {
  mouse().close_monitor(kLink);
  return 1;
}

DRIVER_EXPORT int Open_FeatureDevice(void) { return mouse().open_feature(kLink); }

DRIVER_EXPORT int Close_FeatureDevice(void) {
  mouse().close_feature(kLink);
  return 1;
}

DRIVER_EXPORT int SetFeature(const unsigned char* buffer, int length) {
  return mouse().set_feature(kLink, buffer, length);
}

// The mouse has no feature report to read back; it answers with events only.
DRIVER_EXPORT int GetFeature(unsigned char* /*buffer*/, int /*length*/) { return 0; }

DRIVER_EXPORT int Open_ReportDevice(void) { return mouse().open_report(kLink); }

DRIVER_EXPORT int Close_ReportDevice(void) {
  mouse().close_report(kLink);
  return 1;
}

DRIVER_EXPORT int WriteUSB(const unsigned char* buffer, int length) {
  return mouse().write_usb(kLink, buffer, length);
}

// Events reach the program as event messages; nothing queues for reading.
DRIVER_EXPORT int ReadUSB(unsigned char* /*buffer*/, int /*length*/) { return 0; }

DRIVER_EXPORT int Get_OpenError(void) { return mouse().open_error(kLink); }

DRIVER_EXPORT void Set_TraceTarget(const NvTraceTarget* target) { mouse().set_trace_target(kLink, target); }

#include "drivers/entry_point_checks.h"
