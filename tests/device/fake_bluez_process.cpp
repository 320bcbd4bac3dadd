#include "fake_bluez_process.h"

#include <QDeadlineTimer>
#include <QJsonDocument>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace norvane::test {
namespace {

constexpr int kHelperTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 3000;

}  // namespace

QString uuid16(int value) {
  return QStringLiteral("0000%1-0000-1000-8000-00805f9b34fb").arg(value, 4, 16, QLatin1Char('0'));
}

FakeBluezProcess::FakeBluezProcess() = default;

FakeBluezProcess::~FakeBluezProcess() { stop(); }

QString FakeBluezProcess::start() {
  process_ = std::make_unique<QProcess>();
  process_->setProgram(QStringLiteral(NORVANE_TEST_PYTHON));
  process_->setArguments({QStringLiteral(FAKE_BLUEZ_SCRIPT)});
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_->setChildProcessModifier([] {
    setsid();                          // own process group, killed as a whole by stop()
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // and gone with the test process
  });
  process_->start();
  if (!process_->waitForStarted(kHelperTimeoutMs)) {
    return QStringLiteral("cannot start %1: %2").arg(QStringLiteral(NORVANE_TEST_PYTHON), process_->errorString());
  }
  group_ = process_->processId();

  QByteArray line;
  const QString error = read_line(kHelperTimeoutMs, &line);
  if (!error.isEmpty()) return error;
  if (!line.startsWith("READY ")) return QStringLiteral("unexpected first line: ") + QString::fromUtf8(line);
  bus_address_ = QString::fromUtf8(line.mid(6)).trimmed();
  return {};
}

void FakeBluezProcess::stop() {
  if (!process_) return;
  // Let the helper end its daemon and reap it (a stalled helper is woken first);
  // whatever is left of the group is then killed.
  if (group_ > 0) ::kill(static_cast<pid_t>(-group_), SIGCONT);
  process_->closeWriteChannel();
  if (!process_->waitForFinished(kStopTimeoutMs)) process_->kill();
  if (group_ > 0) ::kill(static_cast<pid_t>(-group_), SIGKILL);
  process_->waitForFinished(kHelperTimeoutMs);
  process_.reset();
  group_ = 0;
}

QString FakeBluezProcess::read_line(int timeout_ms, QByteArray* line) {
  const QDeadlineTimer deadline(timeout_ms);
  while (!process_->canReadLine()) {
    if (process_->state() != QProcess::Running) return QStringLiteral("fake BlueZ ended");
    if (deadline.hasExpired()) return QStringLiteral("fake BlueZ did not answer");
    process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
  *line = process_->readLine().trimmed();
  return {};
}

QJsonObject FakeBluezProcess::command(const QJsonObject& request) {
  if (!process_) return {{QStringLiteral("error"), QStringLiteral("fake BlueZ not running")}};
  process_->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
  QByteArray line;
  const QString error = read_line(kHelperTimeoutMs, &line);
  if (!error.isEmpty()) return {{QStringLiteral("error"), error}};
  const QJsonDocument answer = QJsonDocument::fromJson(line);
  if (!answer.isObject()) return {{QStringLiteral("error"), QStringLiteral("bad answer: ") + QString::fromUtf8(line)}};
  return answer.object();
}

namespace {

// Commands that set the scene must succeed, or the test is meaningless.
QJsonObject checked(FakeBluezProcess& fake, const QJsonObject& request) {
  const QJsonObject answer = fake.command(request);
  EXPECT_FALSE(answer.contains(QStringLiteral("error")))
      << request.value(QStringLiteral("op")).toString().toStdString() << ": "
      << answer.value(QStringLiteral("error")).toString().toStdString();
  return answer;
}

}  // namespace

QString FakeBluezProcess::add_device(const QString& address, const QString& modalias, bool connected,
                                     bool resolved) {
  return checked(*this, {{"op", "add_device"},
                         {"address", address},
                         {"modalias", modalias},
                         {"connected", connected},
                         {"resolved", resolved}})
      .value(QStringLiteral("path"))
      .toString();
}

QString FakeBluezProcess::add_service(const QString& device, int handle, const QString& uuid, bool primary) {
  return checked(*this, {{"op", "add_service"},
                         {"device", device},
                         {"handle", handle},
                         {"uuid", uuid},
                         {"primary", primary}})
      .value(QStringLiteral("path"))
      .toString();
}

QString FakeBluezProcess::add_characteristic(const QString& service, int handle, const QString& uuid,
                                             const QStringList& flags) {
  return checked(*this, {{"op", "add_characteristic"},
                         {"service", service},
                         {"handle", handle},
                         {"uuid", uuid},
                         {"flags", QJsonArray::fromStringList(flags)}})
      .value(QStringLiteral("path"))
      .toString();
}

FakeBluezMouse FakeBluezProcess::add_mouse(const QString& address, const QString& modalias, bool connected,
                                           bool resolved) {
  FakeBluezMouse mouse;
  mouse.device = add_device(address, modalias, connected, resolved);
  mouse.service = add_service(mouse.device, 0x000c, uuid16(0xfee0));
  mouse.report =
      add_characteristic(mouse.service, 0x000d, uuid16(0xfee3), {"read", "write", "write-without-response"});
  mouse.event = add_characteristic(mouse.service, 0x000f, uuid16(0xfee4), {"read", "notify"});
  return mouse;
}

void FakeBluezProcess::notify(const QString& characteristic, const QByteArray& bytes) {
  QJsonArray values;
  for (const char byte : bytes) values.append(static_cast<int>(static_cast<uint8_t>(byte)));
  checked(*this, {{"op", "notify"}, {"path", characteristic}, {"bytes", values}});
}

void FakeBluezProcess::notify_text(const QString& characteristic, const QString& text) {
  checked(*this, {{"op", "notify_text"}, {"path", characteristic}, {"text", text}});
}

void FakeBluezProcess::set_resolved(const QString& device, bool resolved) {
  checked(*this, {{"op", "set_resolved"}, {"path", device}, {"resolved", resolved}});
}

void FakeBluezProcess::set_write_behaviour(const QString& characteristic, const QString& behaviour) {
  checked(*this, {{"op", "write_behaviour"}, {"path", characteristic}, {"behaviour", behaviour}});
}

QJsonArray FakeBluezProcess::calls(const QString& path, const QString& method) {
  return checked(*this, {{"op", "calls"}, {"path", path}, {"method", method}})
      .value(QStringLiteral("calls"))
      .toArray();
}

}  // namespace norvane::test
