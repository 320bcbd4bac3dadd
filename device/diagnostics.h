#pragma once
// What a problem report about the mouse needs, as plain text a user can paste
// (`norvane --diagnose`): program, hidapi and Qt versions; every hidraw node of the
// mouse and its receivers with its interface, uevent, report descriptor and whether
// it opens; the node each link would use for each role; whether the udev rule is
// installed; the Bluetooth devices and GATT services BlueZ shows; the links' states
// as the driver libraries see them; and the last trace lines.
//
// Every source is given, so the text can be produced from a fake sysfs tree, any
// driver libraries and any GATT client. The text is stable: sections and nodes in a
// fixed order, no times or addresses of memory.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/ble_gatt.h"
#include "device/device_change.h"

namespace norvane {

// Where the hidraw nodes are read from: <sysfs_root>/class/hidraw/<node>/device/
// {uevent,report_descriptor}, the USB interface's bInterfaceNumber one folder above
// the HID device, and the node itself at <dev_root>/<node>.
struct HidrawSource {
  std::string sysfs_root = "/sys";
  std::string dev_root = "/dev";
  // The errno of opening the node for reading and writing, 0 when it opens. By
  // default it tries.
  std::function<int(const std::string& devnode)> open_error;
};

struct DiagnosticNode {
  std::string name;     // "hidraw4"
  std::string devnode;  // "/dev/hidraw4"
  HidIdentity id;
  int interface_number = -1;  // -1: none (not USB)
  std::vector<std::string> uevent;
  std::optional<std::vector<uint8_t>> descriptor;  // none when unreadable
  int open_error = 0;
};

// The hidraw nodes of the mouse (cable, either receiver, or on the Bluetooth bus), in
// node number order.
std::vector<DiagnosticNode> read_mouse_hidraw_nodes(const HidrawSource& source);

// Rule files in `folders` that name the mouse's vendor id for hidraw nodes.
std::vector<std::string> find_udev_rules(const std::vector<std::string>& folders);

// The rule folders udev reads, and the one `cmake --install` fills.
std::vector<std::string> default_udev_rule_folders(const std::string& install_prefix);

struct DiagnosticsSources {
  std::string program_version;
  std::string hidapi_version;
  std::string qt_version;
  HidrawSource hidraw;
  std::vector<std::string> udev_rule_folders;
  // The GATT client on BlueZ's bus; nullptr when the bus cannot be reached.
  BleGatt* bluez = nullptr;
  std::string bluez_error;  // why there is no client
  // The folder the three driver libraries are loaded from, to open each link once.
  std::string driver_folder;
  // The start-up test for the mouse on Bluetooth LE.
  std::function<bool()> ble_present;
};

// Gathers everything and returns the text. Opens and closes each link's device
// through its driver library (whose trace lines join the trace); the last trace lines
// are taken at the end.
std::string gather_diagnostics(const DiagnosticsSources& sources);

}  // namespace norvane
