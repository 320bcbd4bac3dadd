// An empty Qt window of the main window's size: what any Qt program costs at rest,
// measured beside the utility by measure_idle.py.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(800, 572);
  window.show();
  return app.exec();
}
