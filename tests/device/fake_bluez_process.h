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
