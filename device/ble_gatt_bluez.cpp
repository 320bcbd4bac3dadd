#include "device/ble_gatt_bluez.h"

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMap>
#include <QStringList>
#include <QThread>
#include <QVariant>
#include <QVariantMap>

#include "core/trace.h"

namespace norvane {
namespace {

const QString kBluezService = QStringLiteral("org.bluez");
const QString kObjectManagerInterface = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kDeviceInterface = QStringLiteral("org.bluez.Device1");
const QString kServiceInterface = QStringLiteral("org.bluez.GattService1");
const QString kCharacteristicInterface = QStringLiteral("org.bluez.GattCharacteristic1");

template <typename T>
bool holds(const QVariant& value) {
  return value.metaType() == QMetaType::fromType<T>();
}

// Property readers: a property of an unexpected type reads as absent.
QString string_property(const QVariantMap& properties, const char* name) {
  const QVariant value = properties.value(QLatin1String(name));
  return holds<QString>(value) ? value.toString() : QString();
}

bool bool_property(const QVariantMap& properties, const char* name) {
  const QVariant value = properties.value(QLatin1String(name));
  return holds<bool>(value) && value.toBool();
}

std::optional<bool> optional_bool_property(const QVariantMap& properties, const char* name) {
  const QVariant value = properties.value(QLatin1String(name));
  if (!holds<bool>(value)) return std::nullopt;
  return value.toBool();
}

QString path_property(const QVariantMap& properties, const char* name) {
  const QVariant value = properties.value(QLatin1String(name));
  return holds<QDBusObjectPath>(value) ? value.value<QDBusObjectPath>().path() : QString();
}

QStringList string_list_property(const QVariantMap& properties, const char* name) {
  const QVariant value = properties.value(QLatin1String(name));
  if (holds<QStringList>(value)) return value.toStringList();
  if (holds<QDBusArgument>(value)) {
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() == QLatin1String("as")) return qdbus_cast<QStringList>(argument);
  }
  return {};
}

std::vector<std::string> to_std(const QStringList& list) {
  std::vector<std::string> result;
  result.reserve(static_cast<size_t>(list.size()));
  for (const QString& item : list) result.push_back(item.toStdString());
  return result;
}

void add_object(GattObjects& objects, const QString& path,
                const QMap<QString, QVariantMap>& interfaces) {
  if (const auto device = interfaces.constFind(kDeviceInterface); device != interfaces.cend()) {
    GattDevice item;
    item.path = path.toStdString();
    item.address = string_property(*device, "Address").toStdString();
    item.modalias = string_property(*device, "Modalias").toStdString();
    item.connected = bool_property(*device, "Connected");
    item.services_resolved = bool_property(*device, "ServicesResolved");
    objects.devices.push_back(std::move(item));
  }
  if (const auto service = interfaces.constFind(kServiceInterface); service != interfaces.cend()) {
    GattService item;
    item.path = path.toStdString();
    item.device_path = path_property(*service, "Device").toStdString();
    item.uuid = string_property(*service, "UUID").toStdString();
    item.primary = bool_property(*service, "Primary");
    objects.services.push_back(std::move(item));
  }
  if (const auto characteristic = interfaces.constFind(kCharacteristicInterface);
      characteristic != interfaces.cend()) {
    GattCharacteristic item;
    item.path = path.toStdString();
    item.service_path = path_property(*characteristic, "Service").toStdString();
    item.uuid = string_property(*characteristic, "UUID").toStdString();
    item.flags = to_std(string_list_property(*characteristic, "Flags"));
    objects.characteristics.push_back(std::move(item));
  }
}

GattCallResult failure(GattCallStatus status, const QString& error) {
  return GattCallResult{status, error.toStdString()};
}

}  // namespace

BluezGatt::BluezGatt(QDBusConnection bus, int call_timeout_ms, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), call_timeout_ms_(call_timeout_ms) {}

BluezGatt::~BluezGatt() {
  for (const auto& [path, handler] : watches_) {
    disconnect_properties_changed(QString::fromStdString(path));
  }
}

QDBusConnection bluez_system_bus() { return QDBusConnection::systemBus(); }

GattCallResult BluezGatt::call(const QDBusMessage& message, QDBusMessage* reply_out) {
  // Block, not BlockWithGui: waiting must not run the caller's event loop, or UI
  // handlers could re-enter the link halfway through an operation.
  const QDBusMessage reply = bus_.call(message, QDBus::Block, call_timeout_ms_);
  if (reply.type() == QDBusMessage::ReplyMessage) {
    if (reply_out != nullptr) *reply_out = reply;
    return GattCallResult{GattCallStatus::kOk, {}};
  }
  const QString name = reply.errorName();
  const GattCallStatus status = (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
                                 name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
                                    ? GattCallStatus::kNoReply
                                    : GattCallStatus::kFailed;
  return failure(status, name + QStringLiteral(": ") + reply.errorMessage());
}

GattCallResult BluezGatt::read_objects(GattObjects& objects) {
  const QDBusMessage request = QDBusMessage::createMethodCall(
      kBluezService, QStringLiteral("/"), kObjectManagerInterface, QStringLiteral("GetManagedObjects"));
  QDBusMessage reply;
  const GattCallResult result = call(request, &reply);
  if (!result.ok()) return result;
  if (reply.signature() != QLatin1String("a{oa{sa{sv}}}") || reply.arguments().size() != 1) {
    return failure(GattCallStatus::kFailed,
                   QStringLiteral("unexpected GetManagedObjects reply ") + reply.signature());
  }

  objects = GattObjects{};
  const QDBusArgument argument = reply.arguments().at(0).value<QDBusArgument>();
  argument.beginMap();
  while (!argument.atEnd()) {
    QDBusObjectPath path;
    QMap<QString, QVariantMap> interfaces;
    argument.beginMapEntry();
    argument >> path >> interfaces;
    argument.endMapEntry();
    add_object(objects, path.path(), interfaces);
  }
  argument.endMap();
  return result;
}

GattCallResult BluezGatt::write_value(const std::string& characteristic_path,
                                      const std::vector<uint8_t>& bytes, GattWriteType type) {
  QDBusMessage request = QDBusMessage::createMethodCall(
      kBluezService, QString::fromStdString(characteristic_path), kCharacteristicInterface,
      QStringLiteral("WriteValue"));
  QVariantMap options;
  options.insert(QStringLiteral("type"), type == GattWriteType::kRequest ? QStringLiteral("request")
                                                                         : QStringLiteral("command"));
  request << QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
          << options;
  return call(request);
}

GattCallResult BluezGatt::start_notify(const std::string& characteristic_path) {
  return call(QDBusMessage::createMethodCall(kBluezService, QString::fromStdString(characteristic_path),
                                             kCharacteristicInterface, QStringLiteral("StartNotify")));
}

GattCallResult BluezGatt::stop_notify(const std::string& characteristic_path) {
  return call(QDBusMessage::createMethodCall(kBluezService, QString::fromStdString(characteristic_path),
                                             kCharacteristicInterface, QStringLiteral("StopNotify")));
}

bool BluezGatt::connect_properties_changed(const QString& path) {
  return bus_.connect(kBluezService, path, kPropertiesInterface, QStringLiteral("PropertiesChanged"),
                      this, SLOT(on_properties_changed(QDBusMessage)));
}

void BluezGatt::disconnect_properties_changed(const QString& path) {
  bus_.disconnect(kBluezService, path, kPropertiesInterface, QStringLiteral("PropertiesChanged"),
                  this, SLOT(on_properties_changed(QDBusMessage)));
}

bool BluezGatt::watch(const std::string& path, GattPropertyHandler handler) {
  Q_ASSERT(QThread::currentThread() == thread());
  if (const auto it = watches_.find(path); it != watches_.end()) {
    it->second = std::move(handler);
    return true;
  }
  if (!connect_properties_changed(QString::fromStdString(path))) {
    trace("BlueZ cannot watch %s\r\n", path.c_str());
    return false;
  }
  watches_.emplace(path, std::move(handler));
  return true;
}

void BluezGatt::unwatch(const std::string& path) {
  Q_ASSERT(QThread::currentThread() == thread());
  if (watches_.erase(path) == 0) return;
  disconnect_properties_changed(QString::fromStdString(path));
}

void BluezGatt::on_properties_changed(const QDBusMessage& message) {
  // QtDBus calls this on the thread this object lives in. A signal queued before
  // unwatch() finds no handler and is dropped here.
  const std::string path = message.path().toStdString();
  const auto it = watches_.find(path);
  if (it == watches_.end()) return;
  if (message.signature() != QLatin1String("sa{sv}as")) {
    trace("BlueZ PropertiesChanged of %s with unexpected arguments %s\r\n", path.c_str(),
          message.signature().toUtf8().constData());
    return;
  }

  const QList<QVariant> arguments = message.arguments();
  const QString interface = arguments.at(0).toString();
  const QVariantMap changed = qdbus_cast<QVariantMap>(arguments.at(1));

  GattPropertyChange change;
  if (interface == kCharacteristicInterface && changed.contains(QStringLiteral("Value"))) {
    const QVariant value = changed.value(QStringLiteral("Value"));
    if (holds<QByteArray>(value)) {
      const QByteArray bytes = value.toByteArray();
      change.value = std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                          reinterpret_cast<const uint8_t*>(bytes.constData()) + bytes.size());
    } else {
      const char* type = value.typeName();
      trace("BlueZ value of %s has unexpected type %s\r\n", path.c_str(), type ? type : "(none)");
    }
  } else if (interface == kDeviceInterface) {
    change.services_resolved = optional_bool_property(changed, "ServicesResolved");
    change.connected = optional_bool_property(changed, "Connected");
  }
  if (!change.value && !change.services_resolved && !change.connected) return;

  const GattPropertyHandler handler = it->second;  // the handler may unwatch its own path
  handler(change);
}

}  // namespace norvane
