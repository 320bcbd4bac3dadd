#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QThread>
#include <unistd.h>

#include "core/trace.h"

namespace norvane {
namespace {

constexpr char kRequest[] = "activate\n";
constexpr char kAnswer[] = "done\n";

// Connects to the running instance, retrying while it may still be starting up.
bool connect_to(QLocalSocket& socket, const QString& name, QDeadlineTimer deadline) {
  for (;;) {
    socket.connectToServer(name);
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return true;
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);  // the first instance holds the lock but is not listening yet
  }
}

}  // namespace

SingleInstance::SingleInstance(QString name)
    : name_(std::move(name)), handler_(std::make_shared<ActivationHandler>()) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  if (lock_) lock_->unlock();
}

QString SingleInstance::default_name() { return QStringLiteral("Norvane-%1").arg(::getuid()); }

QString SingleInstance::lock_path() const { return QDir::tempPath() + QLatin1Char('/') + name_ + QLatin1String(".lock"); }

bool SingleInstance::claim() {
  lock_ = std::make_unique<QLockFile>(lock_path());
  lock_->setStaleLockTime(0);  // stale only when its process is gone, never by age
  if (!lock_->tryLock(0)) {
    if (lock_->error() != QLockFile::LockFailedError) {
      // The lock file cannot be written at all: let the socket decide alone.
      trace("single instance lock %s: error %d\n", qPrintable(lock_path()), static_cast<int>(lock_->error()));
      QLocalSocket probe;
      probe.connectToServer(name_);
      if (probe.waitForConnected(1000)) return false;
      lock_.reset();
      return listen();
    }
    // Held by a live process. If nothing answers for it, it is not one of us.
    QLocalSocket probe;
    if (connect_to(probe, name_, QDeadlineTimer(3000))) return false;
    trace("single instance: lock held but nobody answers; taking it over\n");
    lock_->removeStaleLockFile();
    if (!lock_->tryLock(0)) return false;
  }
  return listen();
}

bool SingleInstance::listen() {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // A socket left by a crashed instance: ours now, since we hold the lock.
  QLocalServer::removeServer(name_);
  if (!server_->listen(name_)) {
    trace("single instance: cannot listen on %s: %s\n", qPrintable(name_), qPrintable(server_->errorString()));
    return true;  // run anyway: better a second copy than no program
  }
  QLocalServer* server = server_.get();
  std::shared_ptr<ActivationHandler> handler = handler_;
  QObject::connect(server, &QLocalServer::newConnection, server, [server, handler] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, handler] {
        while (socket->canReadLine()) {
          if (socket->readLine() != kRequest) continue;
          QPointer<QLocalSocket> guard(socket);
          auto done = [guard] {
            if (!guard) return;
            guard->write(kAnswer);
            guard->flush();
          };
          if (*handler) {
            (*handler)(done);
          } else {
            done();
          }
        }
      });
    }
  });
  return true;
}

bool SingleInstance::activate_running_instance(int timeout_ms) {
  QDeadlineTimer deadline(timeout_ms);
  QLocalSocket socket;
  if (!connect_to(socket, name_, deadline)) return false;
  socket.write(kRequest);
  if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return false;
  QByteArray answer;
  while (!answer.contains('\n')) {
    if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return false;
    answer += socket.readAll();
  }
  return answer == kAnswer;
}

void SingleInstance::set_activation_handler(ActivationHandler handler) { *handler_ = std::move(handler); }

}  // namespace norvane
