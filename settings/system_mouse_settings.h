#pragma once
// The desktop's own mouse settings (GNOME, KDE Plasma, Xfce, Cinnamon, MATE, LXQt),
// opened from the page's system mouse settings button.

#include <string>
#include <string_view>
#include <vector>

#include <QStringList>

namespace norvane {

struct DesktopCommand {
  std::string program;
  std::vector<std::string> arguments;
  bool operator==(const DesktopCommand&) const = default;
};

// The mouse settings programs worth trying, best first: those of the desktops named in
// `current_desktop` (XDG_CURRENT_DESKTOP, a colon-separated list, any letter case)
// first, in the order named, then every other known one. No Qt.
std::vector<DesktopCommand> mouse_settings_candidates(std::string_view current_desktop);

// The first candidate whose program is found in `search_paths` (the PATH when empty).
// Empty program when none is installed.
DesktopCommand find_mouse_settings_command(std::string_view current_desktop,
                                           const QStringList& search_paths = {});

// Starts the desktop's mouse settings, detached from this program. False, and nothing
// started, when no known program is installed or it could not be started.
bool open_system_mouse_settings();

}  // namespace norvane
