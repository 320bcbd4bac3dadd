// Turns Qt signals of a skin's controls into notifications (the table in notification.h).
// Programmatic changes made through Control block the widget's signals, so only user
// actions arrive here.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/toolkit/color_palette.h"
#include "app/toolkit/notification.h"
#include "app/toolkit/widget_access.h"
#include "app/toolkit/window_host.h"

namespace norvane {

const char* type_name(NotifyType type) {
  switch (type) {
    case NotifyType::click:
      return "click";
    case NotifyType::selectchanged:
      return "selectchanged";
    case NotifyType::itemselect:
      return "itemselect";
    case NotifyType::checkclick:
      return "checkclick";
    case NotifyType::killfocus:
      return "killfocus";
    case NotifyType::setfocus:
      return "setfocus";
    case NotifyType::timer:
      return "timer";
    case NotifyType::valuechanged:
      return "valuechanged";
    case NotifyType::mouseenter:
      return "mouseenter";
    case NotifyType::mouseleave:
      return "mouseleave";
    case NotifyType::return_pressed:
      return "return";
    case NotifyType::textchanged:
      return "textchanged";
    case NotifyType::colorchanged:
      return "colorchanged";
    case NotifyType::colorchangedbuttonup:
      break;
  }
  return "colorchangedbuttonup";
}
namespace {

bool is_named_control(const QWidget* w) {
  const QString name = w->objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

void wire_one(QWidget* w, WindowHost* host) {
  auto raise = [host, w](NotifyType type, intptr_t wparam = 0, intptr_t lparam = 0) {
    host->raise_notification(w, type, wparam, lparam);
  };

  if (auto* palette = qobject_cast<ColorPalette*>(w)) {
    QObject::connect(palette, &ColorPalette::colorChanged, host,
                     [raise](uint32_t argb) { raise(NotifyType::colorchanged, static_cast<intptr_t>(argb)); });
    QObject::connect(palette, &ColorPalette::colorPicked, host,
                     [raise](uint32_t argb) { raise(NotifyType::colorchangedbuttonup, static_cast<intptr_t>(argb)); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    if (detail::is_option(button)) {
      QObject::connect(button, &QAbstractButton::toggled, host, [raise](bool on) {
        if (on) raise(NotifyType::selectchanged, 1);
      });
    } else if (button->isCheckable()) {
      QObject::connect(button, &QAbstractButton::clicked, host,
                       [raise](bool checked) { raise(NotifyType::checkclick, checked ? 1 : 0); });
    } else {
      QObject::connect(button, &QAbstractButton::clicked, host, [raise] { raise(NotifyType::click); });
    }
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setProperty(detail::kPrevIndex, combo->currentIndex());
    QObject::connect(combo, &QComboBox::currentIndexChanged, host, [combo, raise](int index) {
      const int previous = combo->property(detail::kPrevIndex).toInt();
      combo->setProperty(detail::kPrevIndex, index);
      raise(NotifyType::itemselect, index, previous);
    });
  } else if (auto* list = qobject_cast<QListWidget*>(w)) {
    list->setProperty(detail::kPrevIndex, list->currentRow());
    QObject::connect(list, &QListWidget::currentRowChanged, host, [list, raise](int row) {
      const int previous = list->property(detail::kPrevIndex).toInt();
      list->setProperty(detail::kPrevIndex, row);
      raise(NotifyType::itemselect, row, previous);
    });
  } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
    QObject::connect(slider, &QAbstractSlider::valueChanged, host,
                     [raise](int value) { raise(NotifyType::valuechanged, value); });
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    QObject::connect(edit, &QLineEdit::textEdited, host, [raise] { raise(NotifyType::textchanged); });
    QObject::connect(edit, &QLineEdit::returnPressed, host, [raise] { raise(NotifyType::return_pressed); });
  } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
    QObject::connect(text, &QTextEdit::textChanged, host, [raise] { raise(NotifyType::textchanged); });
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    QObject::connect(plain, &QPlainTextEdit::textChanged, host, [raise] { raise(NotifyType::textchanged); });
  }
  // Focus and pointer notifications come from the host's event filter.
  w->installEventFilter(host);
}

}  // namespace

void wire_notifications(QWidget* root, WindowHost* host) {
  if (root == nullptr) return;
  if (is_named_control(root)) wire_one(root, host);
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (is_named_control(w)) wire_one(w, host);
  }
}

}  // namespace norvane
