// The yardstick of the start-up and idle measurements: a plain Qt window of the main
// window's size, loaded from a UI file as any Qt program built with Designer would be,
// and shown. measure_idle.py measures it at rest; bench/startup/measure_startup.py its
// start-up, with the same first-paint mark as the utility.
#include <QApplication>
#include <QBuffer>
#include <QUiLoader>
#include <QWidget>
#include <memory>

#include "app/startup_probe.h"
#include "core/startup_marks.h"

namespace {

constexpr char kWindowUi[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>BareWindow</class>
 <widget class="QWidget" name="BareWindow">
  <property name="geometry"><rect><x>0</x><y>0</y><width>800</width><height>572</height></rect></property>
  <property name="windowTitle"><string>Bare Qt window</string></property>
 </widget>
</ui>
)";

}  // namespace

int main(int argc, char** argv) {
  norvane::startup_mark("main");
  QApplication app(argc, argv);
  norvane::startup_mark("application");
  QByteArray ui(kWindowUi);
  QBuffer file(&ui);
  file.open(QIODevice::ReadOnly);
  std::unique_ptr<QWidget> window(QUiLoader().load(&file));
  if (!window) return 1;
  norvane::report_first_paint_when_asked(window.get());
  window->show();
  return app.exec();
}
