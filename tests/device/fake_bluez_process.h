#pragma once
// Runs fake_bluez.py (a fake org.bluez on its own private bus daemon) for one test
// and talks to it line by line. The helper leads its own process group; stop(), also
// run by the destructor, kills the whole group, so no daemon outlives the test even
// when the test fails half-way.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace norvane::test {

// The objects of one mouse on the fake bus.
struct FakeBluezMouse {
  QString device;
  QString service;
  QString report;  // 0xFEE3
  QString event;   // 0xFEE4
};

class FakeBluezProcess {
 public:
  FakeBluezProcess();
  ~FakeBluezProcess();

  // Starts the helper and waits (bounded) until its bus is up. Returns an empty
  // string on success, otherwise what went wrong.
  QString start();
  void stop();

  // The private bus the fake BlueZ lives on.
  QString bus_address() const { return bus_address_; }

  // One command and its answer; {"error": ...} when the helper fails or is silent.
  QJsonObject command(const QJsonObject& request);

  QString add_device(const QString& address, const QString& modalias, bool connected = true,
                     bool resolved = true);
  QString add_service(const QString& device, int handle, const QString& uuid, bool primary = true);
  QString add_characteristic(const QString& service, int handle, const QString& uuid,
                             const QStringList& flags);
  // A mouse as the transport looks for it: primary service 0xFEE0 (handle 12) with the
  // writable report characteristic 0xFEE3 and the notifying event characteristic 0xFEE4.
  FakeBluezMouse add_mouse(const QString& address = QStringLiteral("AA:BB:CC:DD:EE:01"),
                           const QString& modalias = QStringLiteral("usb:v045Ep0009d0001"),
                           bool connected = true, bool resolved = true);
  void notify(const QString& characteristic, const QByteArray& bytes);
  void notify_text(const QString& characteristic, const QString& text);
  void set_resolved(const QString& device, bool resolved);
  // "accept", "fail" (an error reply) or "stall" (the helper stops before replying).
  void set_write_behaviour(const QString& characteristic, const QString& behaviour);
  // The argument lists of every call of `method` on `path`.
  QJsonArray calls(const QString& path, const QString& method);

 private:
  QString read_line(int timeout_ms, QByteArray* line);

  std::unique_ptr<QProcess> process_;
  qint64 group_ = 0;
  QString bus_address_;
};

// A 128-bit UUID string of a 16-bit Bluetooth UUID.
QString uuid16(int value);

}  // namespace norvane::test
