#include "app/toolkit/wheel_guard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

namespace norvane {
namespace {

constexpr char kGuarded[] = "nv_wheelguard";

// One filter for the whole program; it keeps no state of its own.
class WheelGuard final : public QObject {
 public:
  static WheelGuard& instance() {
    static WheelGuard* guard = new WheelGuard();  // lives to the end of the process
    return *guard;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    auto* control = qobject_cast<QWidget*>(watched);
    if (control == nullptr || control->hasFocus()) return false;
    // Not for this control: the parents get it, nearest first, until one takes it. Qt
    // would pass on an ignored wheel only when it came from the window system, so the
    // guard passes it on itself and the control never sees it either way.
    hand_to_parents(*control, *static_cast<QWheelEvent*>(event));
    event->accept();
    return true;
  }

 private:
  static void hand_to_parents(QWidget& control, const QWheelEvent& wheel) {
    QPointF pos = control.mapToParent(wheel.position());
    for (QWidget* w = control.parentWidget(); w != nullptr; w = w->parentWidget()) {
      QWheelEvent copy(pos, wheel.globalPosition(), wheel.pixelDelta(), wheel.angleDelta(), wheel.buttons(),
                       wheel.modifiers(), wheel.phase(), wheel.inverted(), wheel.source());
      copy.setTimestamp(wheel.timestamp());
      QCoreApplication::sendEvent(w, &copy);
      if (copy.isAccepted() || w->isWindow() || w->testAttribute(Qt::WA_NoMousePropagation)) return;
      pos = w->mapToParent(pos);
    }
  }
};

bool takes_values(const QWidget* w) {
  if (qobject_cast<const QScrollBar*>(w) != nullptr) return false;
  return qobject_cast<const QAbstractSlider*>(w) != nullptr || qobject_cast<const QComboBox*>(w) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(w) != nullptr;
}

void guard_one(QWidget* w) {
  if (!takes_values(w) || w->property(kGuarded).toBool()) return;
  w->setProperty(kGuarded, true);
  // Turning the wheel over it must not give it the focus (and with it the wheel).
  const int without_wheel = static_cast<int>(w->focusPolicy()) & ~static_cast<int>(Qt::WheelFocus & ~Qt::StrongFocus);
  w->setFocusPolicy(static_cast<Qt::FocusPolicy>(without_wheel));
  w->installEventFilter(&WheelGuard::instance());
}

}  // namespace

void guard_wheel(QWidget* root) {
  if (root == nullptr) return;
  guard_one(root);
  for (QWidget* w : root->findChildren<QWidget*>()) guard_one(w);
}

}  // namespace norvane
