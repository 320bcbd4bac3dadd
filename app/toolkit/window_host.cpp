#include "app/toolkit/window_host.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QStringList>
#include <QWindow>

#include "app/toolkit/message_event.h"
#include "app/toolkit/notification.h"
#include "app/toolkit/widget_access.h"
#include "app/toolkit/window_base.h"

namespace norvane {

WindowHost::WindowHost(WindowBase* base, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), base_(base) {
  setAttribute(Qt::WA_DeleteOnClose, false);
}

WindowHost::~WindowHost() {
  // The controls still exist here, so the window can look at them one last time.
  if (WindowBase* base = base_) {
    base_ = nullptr;
    base->native_destroyed();
  }
}

void WindowHost::set_skin_root(QWidget* root) {
  root_ = root;
  if (root_ != nullptr) root_->installEventFilter(this);
}

WindowHost* WindowHost::of(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (auto* host = dynamic_cast<const WindowHost*>(w)) return const_cast<WindowHost*>(host);
  }
  return nullptr;
}

void WindowHost::raise_notification(QWidget* sender, NotifyType type, intptr_t wparam, intptr_t lparam) {
  if (base_ == nullptr || sender == nullptr) return;
  Notification n;
  n.type = type;
  n.sender = Control(sender);
  n.sender_name = sender->objectName();
  n.wparam = wparam;
  n.lparam = lparam;
  for (const QWidget* w = sender; w != nullptr && w != this; w = w->parentWidget()) {
    const QString page = w->property(detail::kVirtualWnd).toString();
    if (!page.isEmpty()) {
      n.virtual_window = page;
      break;
    }
  }
  base_->route(n);
}

bool WindowHost::event(QEvent* event) {
  if (event->type() == MessageEvent::event_type()) {
    auto* message = static_cast<MessageEvent*>(event);
    if (base_ != nullptr) base_->deliver_message(message->message());
    message->complete();
    return true;
  }
  // Decided before QWidget::event: a deferred delete ends this object in there.
  const QEvent::Type type = event->type();
  const bool on_screen_may_change =
      type == QEvent::Show || type == QEvent::Hide || type == QEvent::WindowStateChange;
  const bool handled = QWidget::event(event);
  if (on_screen_may_change && base_ != nullptr) base_->check_on_screen();
  return handled;
}

QRect WindowHost::caption_rect() const {
  if (root_ == nullptr) return {};
  const QStringList parts = root_->property(detail::kCaption).toString().split(QLatin1Char(','));
  if (parts.size() != 4) return {};
  const int left = parts[0].trimmed().toInt();
  const int top = parts[1].trimmed().toInt();
  int right = parts[2].trimmed().toInt();
  int bottom = parts[3].trimmed().toInt();
  if (right <= 0) right = root_->width();
  if (bottom <= 0) bottom = root_->height();
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

bool WindowHost::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (base_ == nullptr || widget == nullptr) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::FocusIn:
      raise_notification(widget, NotifyType::setfocus, 0, 0);
      break;
    case QEvent::FocusOut:
      raise_notification(widget, NotifyType::killfocus, 0, 0);
      break;
    case QEvent::Enter:
      if (widget != root_) raise_notification(widget, NotifyType::mouseenter, 0, 0);
      break;
    case QEvent::Leave:
      if (widget != root_) raise_notification(widget, NotifyType::mouseleave, 0, 0);
      break;
    default:
      break;
  }
  const bool mouse_event = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
                           event->type() == QEvent::MouseButtonRelease;
  if (widget == root_ && mouse_event) {
    // Dragging a frameless window by its caption area.
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton &&
        caption_rect().contains(mouse->position().toPoint())) {
      if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return true;
      dragging_ = true;
      drag_offset_ = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
      return true;
    }
    if (event->type() == QEvent::MouseMove && dragging_) {
      move(mouse->globalPosition().toPoint() - drag_offset_);
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && dragging_) {
      dragging_ = false;
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void WindowHost::closeEvent(QCloseEvent* event) {
  // Closing goes through the window object, which decides what a close means.
  event->ignore();
  if (!closing_ && base_ != nullptr) base_->on_close_request();
}

}  // namespace norvane
