#pragma once
// The diagnostic dump of this machine: the real sysfs and /dev, the udev rule
// folders, BlueZ on the system bus, the driver libraries beside the executable and
// hidapi's Bluetooth probe. Needs a Qt application object (for the bus).

#include <string>

namespace norvane {

std::string diagnose_system(const std::string& exe_folder, const std::string& qt_version);

}  // namespace norvane
