#include "app/toolkit/resources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QRegularExpression>
#include <QWidget>

#include "app/toolkit/skin_loader.h"
#include "core/trace.h"

namespace norvane {
namespace {

// The text every window starts from. Set once on the application rather than by a
// style-sheet rule for every widget ("* { font: ...; color: ... }"), which Qt would
// apply widget by widget, each change passed down to all children again.
constexpr char kBaseFontFamily[] = "DejaVu Sans";
constexpr int kBaseFontPixels = 12;
constexpr QRgb kBaseTextColor = 0xFFE6E8EB;

void set_base_look(QApplication& app) {
  QFont font(QString::fromLatin1(kBaseFontFamily));
  font.setPixelSize(kBaseFontPixels);
  QApplication::setFont(font);
  QPalette palette = QApplication::palette();
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::All, role, QColor(kBaseTextColor));
  app.setPalette(palette);
}

}  // namespace

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
    set_base_look(*app);
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
