#include "settings/system_mouse_settings.h"

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/trace.h"

namespace norvane {
namespace {

struct DesktopEntry {
  std::string_view desktop;  // as XDG_CURRENT_DESKTOP names it, lower case
  DesktopCommand command;
};

// Known desktops and their mouse settings, in the order tried when the session names
// none of them. Several Plasma versions ship different launchers.
const std::vector<DesktopEntry>& known_entries() {
  static const std::vector<DesktopEntry> entries = {
      {"gnome", {"gnome-control-center", {"mouse"}}},
      {"kde", {"systemsettings", {"kcm_mouse"}}},
      {"kde", {"kcmshell6", {"kcm_mouse"}}},
      {"kde", {"kcmshell5", {"kcm_mouse"}}},
      {"xfce", {"xfce4-mouse-settings", {}}},
      {"x-cinnamon", {"cinnamon-settings", {"mouse"}}},
      {"mate", {"mate-mouse-properties", {}}},
      {"lxqt", {"lxqt-config-input", {}}},
  };
  return entries;
}

// Session names that use another desktop's settings.
std::string_view settings_desktop(std::string_view name) {
  if (name == "unity" || name == "budgie" || name == "pop" || name == "ubuntu") return "gnome";
  if (name == "cinnamon") return "x-cinnamon";
  return name;
}

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

}  // namespace

std::vector<DesktopCommand> mouse_settings_candidates(std::string_view current_desktop) {
  std::vector<DesktopCommand> out;
  auto add = [&out](const DesktopCommand& c) {
    if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
  };
  const std::string desktops = lower(current_desktop);
  size_t start = 0;
  while (start <= desktops.size()) {
    const size_t end = std::min(desktops.find(':', start), desktops.size());
    const std::string_view name = settings_desktop(std::string_view(desktops).substr(start, end - start));
    for (const DesktopEntry& e : known_entries()) {
      if (!name.empty() && e.desktop == name) add(e.command);
    }
    start = end + 1;
  }
  for (const DesktopEntry& e : known_entries()) add(e.command);
  return out;
}

DesktopCommand find_mouse_settings_command(std::string_view current_desktop, const QStringList& search_paths) {
  for (const DesktopCommand& c : mouse_settings_candidates(current_desktop)) {
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(c.program), search_paths);
    if (!found.isEmpty()) return {found.toStdString(), c.arguments};
  }
  return {};
}

bool open_system_mouse_settings() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const DesktopCommand command = find_mouse_settings_command(desktop ? desktop : "");
  if (command.program.empty()) {
    trace("no desktop mouse settings found\n");
    return false;
  }
  QStringList arguments;
  for (const std::string& a : command.arguments) arguments << QString::fromStdString(a);
  const bool started = QProcess::startDetached(QString::fromStdString(command.program), arguments);
  trace("mouse settings %s: %s\n", command.program.c_str(), started ? "started" : "failed to start");
  return started;
}

}  // namespace norvane
