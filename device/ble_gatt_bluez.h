#pragma once
// The GATT client over BlueZ on D-Bus. Objects come from org.bluez's
// ObjectManager.GetManagedObjects; writes, StartNotify and StopNotify are method
// calls on org.bluez.GattCharacteristic1; watched objects report their
// org.freedesktop.DBus.Properties.PropertiesChanged signals.
//
// Every call blocks the calling thread for at most the call timeout (without running
// an event loop, so nothing re-enters the caller), and is safe from any thread.
// Property changes are delivered on the thread this object lives in.

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <map>
#include <string>

#include "device/ble_gatt.h"

class QDBusMessage;

namespace norvane {

inline constexpr int kBluezCallTimeoutMs = 2000;

class BluezGatt : public QObject, public BleGatt {
  Q_OBJECT

 public:
  explicit BluezGatt(QDBusConnection bus, int call_timeout_ms = kBluezCallTimeoutMs,
                     QObject* parent = nullptr);
  ~BluezGatt() override;

  GattCallResult read_objects(GattObjects& objects) override;
  GattCallResult write_value(const std::string& characteristic_path,
                             const std::vector<uint8_t>& bytes, GattWriteType type) override;
  GattCallResult start_notify(const std::string& characteristic_path) override;
  GattCallResult stop_notify(const std::string& characteristic_path) override;
  bool watch(const std::string& path, GattPropertyHandler handler) override;
  void unwatch(const std::string& path) override;

  int call_timeout_ms() const { return call_timeout_ms_; }

 private slots:
  void on_properties_changed(const QDBusMessage& message);

 private:
  GattCallResult call(const QDBusMessage& message, QDBusMessage* reply = nullptr);
  bool connect_properties_changed(const QString& path);
  void disconnect_properties_changed(const QString& path);

  QDBusConnection bus_;
  const int call_timeout_ms_;
  std::map<std::string, GattPropertyHandler> watches_;  // owning thread only
};

// The system bus, where BlueZ lives (DBUS_SYSTEM_BUS_ADDRESS, when set, names it).
QDBusConnection bluez_system_bus();

}  // namespace norvane
