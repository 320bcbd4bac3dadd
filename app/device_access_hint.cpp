#include "app/device_access_hint.h"

#include <cerrno>

namespace norvane {
namespace {

// 'text' with each ' written as '\'' : safe for any path.
QString shell_quoted(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

bool is_permission_error(int error) { return error == EACCES || error == EPERM; }

QString udev_rule_commands(const QString& rule_path) {
  return QStringLiteral("sudo cp %1 /etc/udev/rules.d/\nsudo udevadm control --reload && sudo udevadm trigger")
      .arg(shell_quoted(rule_path));
}

}  // namespace norvane
