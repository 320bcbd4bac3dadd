#include "app/toolkit/widget_access.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>

#include "app/toolkit/resources.h"

namespace norvane::detail {

bool resource_mode(const QWidget* widget) {
  // What the user types is never a language key.
  if (qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QTextEdit*>(widget) != nullptr ||
      qobject_cast<const QPlainTextEdit*>(widget) != nullptr) {
    return false;
  }
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const QVariant v = w->property(kResourceText);
    if (v.isValid()) return v.toBool();
    if (w->isWindow()) break;
  }
  return false;
}

QString translated(const QString& key) { return resources().language().text_or_key(key); }

QString shown_text(const QWidget* widget) {
  if (widget == nullptr) return {};
  if (auto* l = qobject_cast<const QLabel*>(widget)) return l->text();
  if (auto* b = qobject_cast<const QAbstractButton*>(widget)) return b->text();
  if (auto* e = qobject_cast<const QLineEdit*>(widget)) return e->text();
  if (auto* t = qobject_cast<const QTextEdit*>(widget)) return t->toPlainText();
  if (auto* p = qobject_cast<const QPlainTextEdit*>(widget)) return p->toPlainText();
  if (auto* g = qobject_cast<const QGroupBox*>(widget)) return g->title();
  if (auto* c = qobject_cast<const QComboBox*>(widget)) return c->currentText();
  return widget->windowTitle();
}

void show_text(QWidget* widget, const QString& text) {
  if (widget == nullptr) return;
  const QSignalBlocker quiet(widget);
  if (auto* l = qobject_cast<QLabel*>(widget)) {
    l->setText(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(widget)) {
    b->setText(text);
  } else if (auto* e = qobject_cast<QLineEdit*>(widget)) {
    e->setText(text);
  } else if (auto* t = qobject_cast<QTextEdit*>(widget)) {
    t->setPlainText(text);
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(widget)) {
    p->setPlainText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(widget)) {
    g->setTitle(text);
  } else if (auto* c = qobject_cast<QComboBox*>(widget)) {
    if (c->isEditable()) c->setEditText(text);
  } else {
    widget->setWindowTitle(text);
  }
}

void translate(QWidget* widget) {
  if (widget == nullptr || !resource_mode(widget)) return;
  QVariant key = widget->property(kTextKey);
  if (!key.isValid()) {
    const QString text = shown_text(widget);
    // A container's "text" is its window title; only windows carry one worth showing.
    const bool has_text = !text.isEmpty() && (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                                              qobject_cast<QLineEdit*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                                              qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                                              widget->isWindow());
    if (has_text) {
      key = text;
      widget->setProperty(kTextKey, text);
    }
  }
  if (key.isValid()) show_text(widget, translated(key.toString()));

  QVariant tip = widget->property(kTipKey);
  if (!tip.isValid() && !widget->toolTip().isEmpty()) {
    tip = widget->toolTip();
    widget->setProperty(kTipKey, tip);
  }
  if (tip.isValid()) widget->setToolTip(translated(tip.toString()));

  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    const QSignalBlocker quiet(combo);
    for (int i = 0; i < combo->count(); ++i) {
      QVariant item_key = combo->itemData(i, kItemKeyRole);
      if (!item_key.isValid()) {
        item_key = combo->itemText(i);
        combo->setItemData(i, item_key, kItemKeyRole);
      }
      combo->setItemText(i, translated(item_key.toString()));
    }
  }
}

bool is_option(const QAbstractButton* button) {
  if (button == nullptr) return false;
  if (qobject_cast<const QRadioButton*>(button) != nullptr) return true;
  if (button->group() != nullptr && button->group()->exclusive()) return true;
  return button->isCheckable() && button->autoExclusive();
}

}  // namespace norvane::detail
