#include "app/toolkit/tray_availability.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <memory>

namespace norvane {
namespace {

// The service a StatusNotifier tray (KDE, the AppIndicator extension of GNOME, ...)
// registers on the session bus.
constexpr char kStatusNotifierWatcher[] = "org.kde.StatusNotifierWatcher";
// What Qt's xcb platform emits when the X11 tray (the _NET_SYSTEM_TRAY selection
// owner) comes or goes.
constexpr char kTrayWindowChanged[] = "systemTrayWindowChanged(QScreen*)";

// Receives the xcb platform's signal, which exists only as a string-named signal.
class TrayRelay final : public QObject {
  Q_OBJECT
 public:
  std::function<void()> report;
 public slots:
  void tray_changed() {
    if (report) report();
  }
};

class DesktopTrayAvailability final : public TrayAvailability {
 public:
  bool available() override { return QSystemTrayIcon::isSystemTrayAvailable(); }

  void watch(std::function<void()> changed) override {
    changed_ = std::move(changed);
    if (!changed_ || relay_) return;
    relay_ = std::make_unique<TrayRelay>();
    relay_->report = [this] {
      if (changed_) changed_();
    };
    // Only where a session bus is configured: asking for one otherwise may start a bus
    // daemon of its own.
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
      auto* watcher = new QDBusServiceWatcher(QString::fromLatin1(kStatusNotifierWatcher),
                                              QDBusConnection::sessionBus(),
                                              QDBusServiceWatcher::WatchForOwnerChange, relay_.get());
      QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, relay_.get(), &TrayRelay::tray_changed);
    }
    // The native interface is a QObject; Qt declares it only in its platform headers.
    auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    if (native != nullptr && native->metaObject()->indexOfSignal(kTrayWindowChanged) >= 0) {
      QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), relay_.get(), SLOT(tray_changed()));
    }
  }

 private:
  std::function<void()> changed_;
  std::unique_ptr<TrayRelay> relay_;
};

TrayAvailability* g_installed = nullptr;

}  // namespace

TrayAvailability& tray_availability() {
  static DesktopTrayAvailability* desktop = new DesktopTrayAvailability();  // lives to the end of the process
  return g_installed != nullptr ? *g_installed : *desktop;
}

TrayAvailability* set_tray_availability(TrayAvailability* availability) {
  TrayAvailability* previous = g_installed;
  g_installed = availability;
  return previous;
}

}  // namespace norvane

#include "tray_availability.moc"
