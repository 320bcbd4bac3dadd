#include "device/diagnostics_system.h"

#include <QDBusError>
#include <hidapi.h>

#include <memory>

#include "device/ble_gatt_bluez.h"
#include "device/ble_presence.h"
#include "device/diagnostics.h"

namespace norvane {

std::string diagnose_system(const std::string& exe_folder, const std::string& qt_version) {
  DiagnosticsSources sources;
  sources.program_version = NORVANE_VERSION;
#if defined(HID_API_VERSION)
  sources.hidapi_version = std::string(hid_version_str()) + " (built with " HID_API_VERSION_STR ")";
#else
  sources.hidapi_version = "before 0.10";
#endif
  sources.qt_version = qt_version;
  sources.udev_rule_folders = default_udev_rule_folders(NORVANE_INSTALL_PREFIX);
  sources.driver_folder = exe_folder;
  std::unique_ptr<BlePresenceProbe> probe = make_hidapi_ble_presence_probe();
  sources.ble_present = [&probe] { return probe->mouse_present(); };

  std::unique_ptr<BluezGatt> gatt;
  QDBusConnection bus = bluez_system_bus();
  if (bus.isConnected()) {
    gatt = std::make_unique<BluezGatt>(bus);
    sources.bluez = gatt.get();
  } else {
    sources.bluez_error = bus.lastError().message().toStdString();
  }
  return gather_diagnostics(sources);
}

}  // namespace norvane
