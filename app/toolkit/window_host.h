#pragma once
// Internal: the Qt widget that is a WindowBase's native window. It holds the skin,
// receives posted messages, turns its controls' signals into notifications and drags a
// frameless window by its caption area.

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <cstdint>

#include "app/toolkit/notification.h"

namespace norvane {

class WindowBase;

class WindowHost : public QWidget {
 public:
  WindowHost(WindowBase* base, QWidget* parent, Qt::WindowFlags flags);
  ~WindowHost() override;

  WindowBase* base() const { return base_; }
  void detach() { base_ = nullptr; }
  void set_skin_root(QWidget* root);
  void set_closing() { closing_ = true; }
  bool closing() const { return closing_; }

  // Builds and routes a notification from `sender` (a control of this window).
  void raise_notification(QWidget* sender, NotifyType type, intptr_t wparam, intptr_t lparam);
  // The host window a control belongs to, or null.
  static WindowHost* of(const QWidget* widget);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QRect caption_rect() const;

  WindowBase* base_;
  QWidget* root_ = nullptr;
  bool closing_ = false;
  bool dragging_ = false;
  QPoint drag_offset_;
};

// Connects the signals of every named control under `root` to `host` notifications.
void wire_notifications(QWidget* root, WindowHost* host);

}  // namespace norvane
