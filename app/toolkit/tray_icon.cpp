#include "app/toolkit/tray_icon.h"

#include <QSystemTrayIcon>

#include "app/toolkit/tray_availability.h"

namespace norvane {

TrayIcon::TrayIcon() = default;

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::create(MessagePortPtr owner, const QIcon& icon, const QString& tooltip, uint32_t message) {
  remove();
  owner_ = std::move(owner);
  message_ = message;
  tooltip_ = tooltip;
  if (!tray_availability().available()) return false;  // no notification area: no icon
  icon_ = std::make_unique<QSystemTrayIcon>(icon);
  icon_->setToolTip(tooltip);
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger) report(kMouseLeftButtonUp);
                     if (reason == QSystemTrayIcon::Context) report(kMouseRightButtonUp);
                   });
  icon_->show();
  return true;
}

void TrayIcon::set_tooltip(const QString& tooltip) {
  tooltip_ = tooltip;
  if (icon_) icon_->setToolTip(tooltip);
}

bool TrayIcon::show_message(const QString& title, const QString& text, bool urgent) {
  if (!is_shown()) return false;
  icon_->showMessage(title, text, urgent ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
  return true;
}

void TrayIcon::set_icon(const QIcon& icon) {
  if (icon_) icon_->setIcon(icon);
}

void TrayIcon::remove() {
  if (icon_) {
    icon_->hide();
    icon_.reset();
  }
}

bool TrayIcon::is_shown() const { return icon_ && icon_->isVisible(); }

void TrayIcon::report(intptr_t mouse_message) {
  if (owner_) owner_->post(message_, 0, mouse_message);
}

}  // namespace norvane
