#include "app/startup_probe.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace norvane {
namespace {

// Watches one widget for its first paint; the line is written once that paint (and
// the rest of the frame it belongs to) is done.
class FirstPaintWatch : public QObject {
 public:
  explicit FirstPaintWatch(QWidget* window) : QObject(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, [] {
        std::fprintf(stderr, "%s\n", kFirstPaintLine);
        std::fflush(stderr);
      });
      deleteLater();
    }
    return false;
  }
};

}  // namespace

void report_first_paint_when_asked(QWidget* window) {
  if (window == nullptr || std::getenv(kStartupReportVariable) == nullptr) return;
  new FirstPaintWatch(window);  // owned by the window
}

}  // namespace norvane
