#pragma once
// Everything between the settings page and the mouse, wired together: the three
// driver libraries and the Bluetooth LE transport, the report sender over them, the
// apply routine and its worker thread, and the link controller that keeps the link
// state. The page owns one, made when its window is ready (the libraries post their
// messages to that window) and closed before the window goes.
//
// Threads: built, used and destroyed on the UI thread. The apply runs on the worker
// thread; what it asks of the UI (watchdog timers, busy ring, how it ended) and the
// Bluetooth LE events are queued over to the UI thread.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/toolkit/message_port.h"
#include "core/clock.h"
#include "device/ble_gatt_bluez.h"
#include "device/ble_presence.h"
#include "device/ble_transport.h"
#include "device/driver_library_ports.h"
#include "device/link_controller.h"
#include "protocol/function_link_endpoints.h"
#include "protocol/report_sender.h"
#include "protocol/settings_applier.h"
#include "settings/page_apply_host.h"
#include "settings/page_view.h"
#include "settings/page_ble_port.h"
#include "settings/ui_thread_calls.h"
#include "storage/store_writer.h"

namespace norvane {

struct PageDeviceParts {
  std::string exe_folder;    // where the driver libraries are loaded from
  std::string store_folder;  // where the apply saves the profile store
  Clock& clock;              // pauses of the link pacing
  ProfileState& profiles;
  LinkState& links;
  PageView& view;  // the main window's timers and the busy ring
  LinkSink& sink;  // what the link side finds
  MessagePortPtr window_port;  // the driver libraries post their messages here
  // Macro buttons an apply left out, handed over to the UI thread.
  std::function<void(const std::vector<MacroOverlap>&)> macro_overlaps;
  // Told on the UI thread after every apply: how it ended and how many changes have
  // still not reached the mouse.
  std::function<void(ApplyOutcome, int pending)> apply_finished;
  StoreWriter& store_writer;   // writes the profile store at the end of an apply
};

class PageDevices {
 public:
  explicit PageDevices(const PageDeviceParts& parts);
  ~PageDevices();
  PageDevices(const PageDevices&) = delete;
  PageDevices& operator=(const PageDevices&) = delete;

  LinkController& controller() { return controller_; }

  // Stops the worker (requests already queued still run), closes and releases the
  // libraries, drops the Bluetooth LE registration. Idempotent.
  void close();

 private:
  void run_apply();  // worker thread
  void save_store_from_worker();

  ProfileState& profiles_;
  std::string store_folder_;
  std::function<void(ApplyOutcome, int)> apply_finished_;
  StoreWriter& store_writer_;
  MessagePortPtr window_port_;
  UiThreadCalls ui_calls_;
  DriverLibraryPorts drivers_;
  BluezGatt gatt_;
  BleTransport ble_transport_;
  PageBlePort ble_port_;
  std::unique_ptr<BlePresenceProbe> ble_probe_;
  FunctionLinkEndpoints endpoints_;
  ReportSender sender_;
  PageApplyHost apply_host_;
  SettingsApplier applier_;
  // Last: destroyed first, which joins the worker before anything it uses goes.
  LinkController controller_;
  bool closed_ = false;
};

}  // namespace norvane
