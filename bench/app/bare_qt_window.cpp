// An empty Qt window of the main window's size: what any Qt program costs, measured
// beside the utility by measure_idle.py (at rest) and bench/startup (its start-up,
// with the same first-paint mark).
#include <QApplication>
#include <QWidget>

#include "app/startup_probe.h"
#include "core/startup_marks.h"

int main(int argc, char** argv) {
  norvane::startup_mark("main");
  QApplication app(argc, argv);
  norvane::startup_mark("application");
  QWidget window;
  window.resize(800, 572);
  norvane::report_first_paint_when_asked(&window);
  window.show();
  return app.exec();
}
