#include "fake_bluez_fixture.h"

#include <QDBusError>
#include <QTest>
#include <QThread>

namespace norvane::test {

QCoreApplication& FakeBluezFixture::application() {
  static int argc = 1;
  static char name[] = "fake_bluez_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return *app;
}

void FakeBluezFixture::SetUp() {
  application();
  const QString error = fake_.start();
  ASSERT_TRUE(error.isEmpty()) << error.toStdString();
  // Each test has its own fake, so each needs a connection of its own name.
  static int connection_number = 0;
  connection_name_ = QStringLiteral("fake-bluez-%1").arg(++connection_number);
  bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(fake_.bus_address(), connection_name_));
  ASSERT_TRUE(bus_->isConnected()) << bus_->lastError().message().toStdString();
}

void FakeBluezFixture::TearDown() {
  transport_.reset();
  gatt_.reset();
  bus_.reset();
  QDBusConnection::disconnectFromBus(connection_name_);
  fake_.stop();
}

BleTransport& FakeBluezFixture::make_transport(int call_timeout_ms) {
  gatt_ = std::make_unique<BluezGatt>(*bus_, call_timeout_ms);
  transport_ = std::make_unique<BleTransport>(*gatt_, [this](uint16_t code, uint16_t value) {
    events_.push_back({code, value, QThread::currentThread() == application().thread()});
  });
  return *transport_;
}

bool FakeBluezFixture::wait_for_events(size_t count) {
  return QTest::qWaitFor([&] { return events_.size() >= count; }, kEventWaitMs);
}

}  // namespace norvane::test
