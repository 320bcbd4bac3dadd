#pragma once
// Notices on the desktop where there is no tray to show them: the freedesktop
// notification service (org.freedesktop.Notifications) on the session bus, which every
// Linux desktop runs. Where the tray is shown, its own messages are used instead
// (TrayIcon::show_message); the window that owns both chooses.
//
// The service in use is replaceable like the timers, so tests can record notices or
// point them at a fake service on a private bus.

#include <QDBusConnection>
#include <QString>
#include <cstdint>
#include <memory>

class QObject;

namespace norvane {

struct DesktopNotice {
  QString title;
  QString text;
  QString icon_file;    // absolute path of an image; empty: the desktop's default
  bool urgent = false;  // stays until dismissed where the desktop supports it
};

class DesktopNotices {
 public:
  virtual ~DesktopNotices() = default;
  // Hands the notice to the desktop; false when there is no service to take it.
  virtual bool show(const DesktopNotice& notice) = 0;
};

// org.freedesktop.Notifications.Notify on `bus`. Each notice replaces the one this
// object showed before, so a later notice about the same thing does not pile up.
class FreedesktopNotices final : public DesktopNotices {
 public:
  FreedesktopNotices(QDBusConnection bus, QString app_name);
  ~FreedesktopNotices() override;
  bool show(const DesktopNotice& notice) override;

 private:
  QDBusConnection bus_;
  QString app_name_;
  uint32_t last_id_ = 0;
  std::unique_ptr<QObject> replies_;  // parent of the reply watchers: none outlives this object
};

// The service in use: the session bus's (when one is configured) unless a test
// installed another.
DesktopNotices& desktop_notices();
DesktopNotices* set_desktop_notices(DesktopNotices* notices);

class ScopedDesktopNotices {
 public:
  explicit ScopedDesktopNotices(DesktopNotices& notices) : previous_(set_desktop_notices(&notices)) {}
  ~ScopedDesktopNotices() { set_desktop_notices(previous_); }
  ScopedDesktopNotices(const ScopedDesktopNotices&) = delete;
  ScopedDesktopNotices& operator=(const ScopedDesktopNotices&) = delete;

 private:
  DesktopNotices* previous_;
};

}  // namespace norvane
