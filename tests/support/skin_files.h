#pragma once
// The program's own skin files (res/ of the source tree), for tests that need a real
// skin inside a throw-away skin folder.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace norvane::testing {

inline QString source_res_folder() { return QStringLiteral(NORVANE_SOURCE_RES); }

inline QByteArray source_skin(const QString& relative) {
  QFile f(source_res_folder() + relative);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace norvane::testing
