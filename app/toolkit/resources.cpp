#include "app/toolkit/resources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>

#include "app/toolkit/skin_loader.h"
#include "core/trace.h"

namespace norvane {

void Resources::set_folder(const QString& folder) {
  folder_ = folder;
  if (!folder_.isEmpty() && !folder_.endsWith(QLatin1Char('/'))) folder_ += QLatin1Char('/');
}

QString Resources::path(const QString& relative) const {
  if (QDir::isAbsolutePath(relative)) return relative;
  return folder_ + relative;
}

bool Resources::load_style_sheet(const QString& file) {
  QFile f(path(file));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    trace("style sheet %s: %s\n", qPrintable(f.fileName()), qPrintable(f.errorString()));
    return false;
  }
  QString sheet = QString::fromUtf8(f.readAll());
  // Qt resolves url() against the working directory; make relative paths absolute.
  static const QRegularExpression relative_url(QStringLiteral("url\\(\\s*(['\"]?)(?![/:'\"])"));
  sheet.replace(relative_url, QStringLiteral("url(\\1") + folder_);
  style_sheet_ = sheet;
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    app->setStyleSheet(style_sheet_);
  }
  return true;
}

bool Resources::load_language(const QString& file) {
  QString error;
  const bool ok = language_.load_file(path(file), &error);
  if (!ok) trace("language file %s: %s\n", qPrintable(path(file)), qPrintable(error));
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    for (QWidget* top : QApplication::topLevelWidgets()) retranslate(top);
  }
  return ok;
}

void Resources::shut_down() {
  language_.clear();
  style_sheet_.clear();
  folder_.clear();
}

Resources& resources() {
  static Resources instance;
  return instance;
}

}  // namespace norvane
