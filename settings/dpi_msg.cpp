#include "settings/dpi_msg.h"

#include <QGuiApplication>
#include <QScreen>

namespace norvane {

QString dpi_popup_text(uintptr_t wparam, intptr_t lparam) {
  QString text = QStringLiteral("DPI :");
  // The value travels as a 32-bit message parameter; widened before the product.
  if (wparam <= 2) text += QString::number(static_cast<long long>(static_cast<int32_t>(lparam)) * 50);
  return text;
}

CDPIMsg::CDPIMsg() { set_free_on_close(true); }

void CDPIMsg::set_text(const QString& text) {
  text_ = text;
  label_.set_text(text_);
}

void CDPIMsg::init() {
  label_ = find(QStringLiteral("dpi_label"));
  if (!label_) return;
  label_.set_text(text_);
  // Bottom right of the desktop's work area (the screen minus panels and docks).
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect work = screen->availableGeometry();
  move_to(QPoint(work.x() + work.width() - 210, work.y() + work.height() - 60), QSize(kDpiPopupWidth, kDpiPopupHeight));
}

void CDPIMsg::on_final_message() {
  if (auto on_gone = std::move(on_gone_)) on_gone();
  WindowBase::on_final_message();
}

}  // namespace norvane
