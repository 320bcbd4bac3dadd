#include "tests/support/qt_test_app.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <cstdlib>

namespace norvane::testing {

QApplication& test_app() {
  static QApplication* app = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "norvane_tests";
    static char* argv[] = {name, nullptr};
    auto* a = new QApplication(argc, argv);
    a->setQuitOnLastWindowClosed(false);
    return a;
  }();
  return *app;
}

bool run_events_until(const std::function<bool()>& done, int limit_ms) {
  test_app();
  QDeadlineTimer deadline(limit_ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

void flush_events() {
  test_app();
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

}  // namespace norvane::testing
