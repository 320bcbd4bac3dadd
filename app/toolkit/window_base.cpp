#include "app/toolkit/window_base.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include "app/toolkit/skin_loader.h"
#include "app/toolkit/timer_service.h"
#include "app/toolkit/widget_access.h"
#include "app/toolkit/window_host.h"
#include "core/trace.h"

namespace norvane {
namespace {

WindowBase::ModalObserver& modal_observer() {
  static WindowBase::ModalObserver observer;
  return observer;
}

}  // namespace

WindowBase::WindowBase() = default;

WindowBase::~WindowBase() {
  timer_service().kill_all(this);
  for (QWidget* owner : control_timer_owners_) timer_service().kill_all(owner);
  control_timer_owners_.clear();
  if (port_) port_->close();
  if (host_ != nullptr) {
    // The derived part is gone already, so on_destroy cannot run any more.
    WindowHost* host = host_;
    host_ = nullptr;
    host->detach();
    delete host;
  }
}

bool WindowBase::create(WindowBase* parent, const QString& title, unsigned style, QSize size, QPoint pos) {
  if (host_ != nullptr) return false;
  using namespace WindowStyle;
  Qt::WindowFlags flags = (style & kToolWindow) ? Qt::Tool : Qt::Window;
  if (style & kPopup) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (style & kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  }
  if (style & kTopmost) flags |= Qt::WindowStaysOnTopHint;

  QWidget* qt_parent = (parent != nullptr) ? parent->host_ : nullptr;
  auto* host = new WindowHost(this, qt_parent, flags);
  host->setObjectName(window_class_name());
  if (style & kNoActivate) host->setAttribute(Qt::WA_ShowWithoutActivating);

  QString error;
  QWidget* root = load_skin(skin_file(), host, &error);
  if (root == nullptr) {
    trace("window %s: skin %s not loaded: %s\n", qPrintable(window_class_name()), qPrintable(skin_file()),
          qPrintable(error));
    host->detach();
    delete host;
    return false;
  }
  host_ = host;
  skin_root_ = root;
  parent_ = parent;
  port_ = std::make_shared<MessagePort>(host);

  auto* layout = new QVBoxLayout(host);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(root);
  host->set_skin_root(root);

  // The skin decides the size when its root has one; the caller's size is the fallback.
  QSize window_size = root->testAttribute(Qt::WA_Resized) ? root->size() : size;
  if (window_size.isEmpty()) window_size = root->sizeHint();
  if (root->property(detail::kResizable).toBool()) {
    host->resize(window_size);
  } else {
    host->setFixedSize(window_size);
  }
  host->move(pos);
  host->setWindowTitle(title);

  wire_notifications(root, host);
  init();
  if (host_ != nullptr && (style & kVisible)) show(!(style & kNoActivate));
  return true;
}

bool WindowBase::is_created() const { return host_ != nullptr; }

void WindowBase::show(bool activate) {
  if (host_ == nullptr) return;
  host_->show();
  if (activate) {
    host_->raise();
    host_->activateWindow();
  }
}

void WindowBase::hide() {
  if (host_ != nullptr) host_->hide();
}

bool WindowBase::is_visible() const { return host_ != nullptr && host_->isVisible(); }
bool WindowBase::is_minimized() const { return host_ != nullptr && host_->isMinimized(); }

void WindowBase::check_on_screen() {
  const bool now = is_visible() && !is_minimized();
  if (now == on_screen_) return;
  on_screen_ = now;
  on_screen_changed(now);
}

void WindowBase::minimize() {
  if (host_ != nullptr) host_->showMinimized();
}

void WindowBase::restore() {
  if (host_ != nullptr) host_->showNormal();
}

void WindowBase::bring_to_front() {
  if (host_ == nullptr) return;
  if (host_->isMinimized()) host_->showNormal();
  host_->show();
  host_->raise();
  host_->activateWindow();
}

void WindowBase::center() {
  if (host_ == nullptr) return;
  QRect area;
  if (parent_ != nullptr && parent_->host_ != nullptr && parent_->host_->isVisible()) {
    area = parent_->host_->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isEmpty()) return;
  QRect frame = host_->frameGeometry();
  frame.moveCenter(area.center());
  host_->move(frame.topLeft());
}

void WindowBase::move_to(QPoint pos, QSize size) {
  if (host_ == nullptr) return;
  if (!size.isEmpty()) {
    if (host_->minimumSize() == host_->maximumSize()) {
      host_->setFixedSize(size);
    } else {
      host_->resize(size);
    }
  }
  host_->move(pos);
}

QRect WindowBase::frame_rect() const { return host_ != nullptr ? host_->frameGeometry() : QRect(); }

void WindowBase::set_title(const QString& title) {
  if (host_ != nullptr) host_->setWindowTitle(title);
}

int WindowBase::show_modal() {
  if (host_ == nullptr) return -1;
  if (modal_loop_ != nullptr) return -1;
  QEventLoop loop;
  modal_loop_ = &loop;
  host_->setWindowModality(Qt::ApplicationModal);
  show(true);
  // The observer runs once the loop runs, so it may close the window at once.
  QMetaObject::invokeMethod(
      host_,
      [this] {
        if (modal_observer() && modal_loop_ != nullptr) modal_observer()(*this);
      },
      Qt::QueuedConnection);
  const int code = loop.exec();
  modal_loop_ = nullptr;
  if (host_ != nullptr) {
    destroy_native_now();  // may delete this (free on close)
  } else if (final_pending_) {
    // The native window went away during the run (its parent was destroyed).
    final_pending_ = false;
    on_final_message();  // may delete this
  }
  return code;
}

bool WindowBase::is_modal_running() const { return modal_loop_ != nullptr; }

void WindowBase::close(int code) {
  if (host_ == nullptr || host_->closing()) return;
  close_code_ = code;
  host_->set_closing();
  host_->hide();
  if (modal_loop_ != nullptr) {
    modal_loop_->exit(code);  // show_modal destroys the native window
    return;
  }
  // Not now: close() is usually called from a handler of one of this window's controls.
  host_->deleteLater();
}

void WindowBase::destroy_native_now() {
  if (host_ == nullptr) return;
  WindowHost* host = host_;
  delete host;  // runs native_destroyed(); `this` may be gone afterwards
}

void WindowBase::native_destroyed() {
  timer_service().kill_all(this);
  for (QWidget* owner : control_timer_owners_) timer_service().kill_all(owner);
  control_timer_owners_.clear();
  if (port_) port_->close();
  on_destroy();
  host_ = nullptr;
  skin_root_ = nullptr;
  if (modal_loop_ != nullptr) {
    // show_modal is still on the stack: it finishes the window once its loop returns.
    final_pending_ = true;
    modal_loop_->exit(close_code_);
    return;
  }
  on_final_message();
}

void WindowBase::on_final_message() {
  if (free_on_close_) delete this;
}

Control WindowBase::find(const QString& name) const {
  if (skin_root_ == nullptr || name.isEmpty()) return {};
  if (skin_root_->objectName() == name) return Control(skin_root_);
  return Control(skin_root_->findChild<QWidget*>(name));
}

Control WindowBase::root() const { return Control(skin_root_); }

void WindowBase::add_virtual_window(const QString& name, NotifyTarget* page) {
  if (page == nullptr) {
    pages_.erase(name);
  } else {
    pages_[name] = page;
  }
}

void WindowBase::remove_virtual_window(const QString& name) { pages_.erase(name); }

bool WindowBase::post_message(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  return port_ && port_->post(id, wparam, lparam);
}

bool WindowBase::send_message(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (host_ == nullptr) return false;
  return handle_custom_message(Message{id, wparam, lparam, {}});
}

void WindowBase::deliver_message(const Message& m) { handle_custom_message(m); }

void WindowBase::set_timer(int id, int interval_ms) {
  if (host_ == nullptr) return;
  timer_service().start(this, id, interval_ms, [this, id] { on_timer(id); });
}

void WindowBase::kill_timer(int id) { timer_service().kill(this, id); }

void WindowBase::set_control_timer(const Control& control, int id, int interval_ms) {
  QWidget* widget = control.widget();
  if (host_ == nullptr || widget == nullptr) return;
  control_timer_owners_.insert(widget);
  QPointer<QWidget> guard(widget);
  const void* key = widget;
  timer_service().start(key, id, interval_ms, [this, guard, key, id] {
    if (guard.isNull()) {  // the control went away with its timer running
      timer_service().kill_all(key);
      return;
    }
    raise(Control(guard.data()), NotifyType::timer, id, 0);
  });
}

void WindowBase::kill_control_timer(const Control& control, int id) {
  if (QWidget* widget = control.widget()) timer_service().kill(widget, id);
}

void WindowBase::raise(const Control& sender, NotifyType type, intptr_t wparam, intptr_t lparam) {
  if (host_ == nullptr || !sender.valid()) return;
  host_->raise_notification(sender.widget(), type, wparam, lparam);
}

QWidget* WindowBase::native() const { return host_; }

WindowBase::ModalObserver WindowBase::set_modal_observer(ModalObserver observer) {
  ModalObserver previous = std::move(modal_observer());
  modal_observer() = std::move(observer);
  return previous;
}

void WindowBase::notify(const Notification& n) {
  if (n.is(NotifyType::click)) on_click(n);
}

void WindowBase::route(const Notification& n) {
  if (!n.virtual_window.isEmpty()) {
    auto it = pages_.find(n.virtual_window);
    if (it != pages_.end() && it->second != nullptr) {
      it->second->notify(n);
      return;
    }
  }
  notify(n);
}

}  // namespace norvane
