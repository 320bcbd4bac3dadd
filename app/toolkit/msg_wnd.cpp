#include "app/toolkit/msg_wnd.h"

#include <utility>

namespace norvane {

CMsgWnd::CMsgWnd(QString title_key, QString message_key)
    : title_key_(std::move(title_key)), message_key_(std::move(message_key)) {
  set_free_on_close(false);
}

void CMsgWnd::init() {
  ok_ = find(QStringLiteral("btn_ok"));
  cancel_ = find(QStringLiteral("btn_cancel"));
  title_ = find(QStringLiteral("warning_title"));
  message_ = find(QStringLiteral("warning"));
  // Both labels show their text through the language file.
  title_.set_resource_text(true);
  message_.set_resource_text(!message_is_text_);
  title_.set_text(title_key_);
  message_.set_text(message_key_);
}

void CMsgWnd::notify(const Notification& n) {
  if (!n.is(NotifyType::click)) return;
  if (ok_ && n.sender == ok_) {
    close(1);
  } else if (cancel_ && n.sender == cancel_) {
    close(0);
  }
}

namespace {

int run_message_box(CMsgWnd& box, WindowBase* owner) {
  if (!box.create(owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible,
                  QSize(800, 800))) {
    return 0;
  }
  box.center();
  return box.show_modal();
}

}  // namespace

int show_message_box(WindowBase* owner, const QString& title_key, const QString& message_key) {
  CMsgWnd box(title_key, message_key);
  return run_message_box(box, owner);
}

int show_message_box_text(WindowBase* owner, const QString& title_key, const QString& message_text) {
  CMsgWnd box(title_key, message_text);
  box.set_message_is_text(true);
  return run_message_box(box, owner);
}

}  // namespace norvane
