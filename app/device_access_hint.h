#pragma once
// What the window shows when the mouse is there but this user may not open it: the
// commands that install the udev rule shipped beside the program (it gives the
// logged-in user access to the mouse's hidraw nodes) and make it take effect.

#include <QString>

namespace norvane {

inline constexpr char kUdevRuleFile[] = "70-norvane-mouse.rules";

// True for the open errors that mean "not allowed" rather than "not there".
bool is_permission_error(int error);

// The shell lines for `rule_path`, quoted for the shell, one command per line.
QString udev_rule_commands(const QString& rule_path);

}  // namespace norvane
