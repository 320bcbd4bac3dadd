#include "app/toolkit/desktop_notices.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>
#include <QVariantMap>
#include <memory>

namespace norvane {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr int kServerDecidesTimeout = -1;
constexpr uint8_t kUrgencyNormal = 1;
constexpr uint8_t kUrgencyCritical = 2;

class NoNotices final : public DesktopNotices {
 public:
  bool show(const DesktopNotice&) override { return false; }
};

DesktopNotices* g_installed = nullptr;

}  // namespace

FreedesktopNotices::FreedesktopNotices(QDBusConnection bus, QString app_name)
    : bus_(std::move(bus)), app_name_(std::move(app_name)), replies_(std::make_unique<QObject>()) {}

FreedesktopNotices::~FreedesktopNotices() = default;

bool FreedesktopNotices::show(const DesktopNotice& notice) {
  if (!bus_.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                     QString::fromLatin1(kInterface), QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue(notice.urgent ? kUrgencyCritical : kUrgencyNormal));
  hints.insert(QStringLiteral("category"), QStringLiteral("device"));
  const QString icon = notice.icon_file.isEmpty() ? QString() : QUrl::fromLocalFile(notice.icon_file).toString();
  call << app_name_ << last_id_ << icon << notice.title << notice.text << QStringList() << hints
       << kServerDecidesTimeout;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), replies_.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [this](QDBusPendingCallWatcher* w) {
    const QDBusPendingReply<uint32_t> reply = *w;
    if (reply.isValid()) last_id_ = reply.value();
    w->deleteLater();
  });
  return true;
}

DesktopNotices& desktop_notices() {
  if (g_installed != nullptr) return *g_installed;
  // Only where a session bus is configured: asking for one otherwise may start a bus
  // daemon of its own.
  static DesktopNotices* session = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")
                                       ? static_cast<DesktopNotices*>(new FreedesktopNotices(
                                             QDBusConnection::sessionBus(), QCoreApplication::applicationName()))
                                       : new NoNotices();
  return *session;
}

DesktopNotices* set_desktop_notices(DesktopNotices* notices) {
  DesktopNotices* previous = g_installed;
  g_installed = notices;
  return previous;
}

}  // namespace norvane
