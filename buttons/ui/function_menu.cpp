#include "buttons/ui/function_menu.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace norvane {

QPoint function_menu_origin(const QRect& button, const QSize& menu, const QRect& screen) {
  const int x = button.x() + button.width();
  int y = button.y();
  if (y + menu.height() >= screen.y() + screen.height()) {
    y = std::max(button.y() + kRaisedMenuBottomBelowButtonTop - menu.height(), screen.y());
  }
  return {x, y};
}

bool open_function_menu(PopupMenu& menu, MessagePortPtr owner, const QRect& button) {
  QScreen* screen = QGuiApplication::screenAt(button.topLeft());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  return menu.open(std::move(owner), QString::fromLatin1(kFunctionMenuSkin), [button, area](QSize size) {
    return area.isEmpty() ? QPoint(button.x() + button.width(), button.y()) : function_menu_origin(button, size, area);
  });
}

}  // namespace norvane
