#pragma once
// TrayIcon: the program's icon in the desktop's notification area. A left button
// release reaches the owner window as message UM_TRAY_ICON (1025) with lParam 514, a
// right button release (context click) with lParam 517. Where the desktop has no
// notification area (tray_availability.h) the icon is simply not shown and create()
// returns false.

#include <QIcon>
#include <QString>
#include <memory>

#include "app/toolkit/message_port.h"
#include "core/messages.h"

class QSystemTrayIcon;

namespace norvane {

class TrayIcon {
 public:
  TrayIcon();
  ~TrayIcon();  // removes the icon
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  bool create(MessagePortPtr owner, const QIcon& icon, const QString& tooltip,
              uint32_t message = UM_TRAY_ICON);
  void set_tooltip(const QString& tooltip);
  void set_icon(const QIcon& icon);
  // A balloon message beside the icon; false when the icon is not shown.
  bool show_message(const QString& title, const QString& text, bool urgent);
  const QString& tooltip() const { return tooltip_; }
  void remove();
  bool is_shown() const;

  // Reports a button release as the desktop would (lParam 514 or 517).
  void report(intptr_t mouse_message);

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
  MessagePortPtr owner_;
  uint32_t message_ = UM_TRAY_ICON;
  QString tooltip_;  // kept while there is no icon, for the next one
};

}  // namespace norvane
