#include "app/startup_probe.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "core/startup_marks.h"

namespace norvane {
namespace {

// Watches one widget for its first paint and runs the work after that frame. Owned
// by the widget: when the widget goes first, the work is dropped with it.
class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget* window, std::function<void()> work) : QObject(window), work_(std::move(work)) {
    window->installEventFilter(this);
    // Checked once the event loop runs, when the window has been shown or not.
    QTimer::singleShot(0, this, [this, window] {
      if (!window->isVisible()) {
        finish();
      } else {
        QTimer::singleShot(kFirstPaintWaitLimitMs, this, [this] { finish(); });
      }
    });
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    // After the paint, once the rest of its frame has been handled.
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QTimer::singleShot(0, this, [this] { finish(); });
    }
    return false;
  }

 private:
  void finish() {
    if (!work_) return;
    if (painted_) startup_mark(kFirstPaintMark);
    parent()->removeEventFilter(this);
    std::function<void()> work = std::move(work_);
    work_ = nullptr;
    deleteLater();
    work();
  }

  std::function<void()> work_;
  bool painted_ = false;
};

}  // namespace

void after_first_paint(QWidget* window, std::function<void()> work) {
  if (window == nullptr || !work) return;
  new FirstPaintWatch(window, std::move(work));
}

void report_first_paint_when_asked(QWidget* window) {
  if (startup_marks_wanted()) after_first_paint(window, [] {});
}

}  // namespace norvane
