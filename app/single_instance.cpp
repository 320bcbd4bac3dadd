#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QThread>
#include <sys/stat.h>
#include <optional>
#include <unistd.h>

#include "app/folders.h"
#include "core/trace.h"

namespace norvane {
namespace {

constexpr char kRequest[] = "activate\n";
constexpr char kAnswer[] = "done\n";
constexpr char kCommandPrefix[] = "command ";
constexpr char kReplyPrefix[] = "reply ";

// The base64 payload of a line "<prefix><base64>\n", or nullopt when it is not one.
std::optional<QByteArray> payload_of(const QByteArray& line, const char* prefix) {
  if (!line.startsWith(prefix) || !line.endsWith('\n')) return std::nullopt;
  const QByteArray encoded = line.mid(static_cast<qsizetype>(qstrlen(prefix))).chopped(1);
  auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded) return std::nullopt;
  return *decoded;
}

// The uid that owns `path`, or -1 when there is nothing there.
long owner_of(const QString& path) {
  struct stat info;
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return static_cast<long>(info.st_uid);
}

bool belongs_to_someone_else(const QString& path) {
  const long owner = owner_of(path);
  return owner >= 0 && owner != static_cast<long>(::getuid());
}

// Connects to the running instance, retrying while it may still be starting up. A
// socket of another user is never talked to.
bool connect_to(QLocalSocket& socket, const QString& name, QDeadlineTimer deadline) {
  for (;;) {
    if (belongs_to_someone_else(name)) {
      trace("single instance: %s belongs to user %ld, not answered\n", qPrintable(name), owner_of(name));
      return false;
    }
    socket.connectToServer(name);
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return true;
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);  // the first instance holds the lock but is not listening yet
  }
}

}  // namespace

SingleInstance::SingleInstance(QString name, QString folder)
    : name_(std::move(name)), folder_(std::move(folder)), handler_(std::make_shared<ActivationHandler>()) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  if (lock_) lock_->unlock();
}

QString SingleInstance::default_name() { return QStringLiteral("Norvane-%1").arg(::getuid()); }

QString SingleInstance::default_folder() { return QString::fromStdString(runtime_folder_path()); }

QString SingleInstance::lock_path() const { return socket_path() + QLatin1String(".lock"); }

QString SingleInstance::socket_path() const { return folder_ + QLatin1Char('/') + name_; }

bool SingleInstance::claim() {
  if (folder_.isEmpty()) {
    trace("single instance: no private folder for the lock; running without one\n");
    return true;
  }
  if (belongs_to_someone_else(lock_path())) {
    // Not ours to take over, and no proof that one of our copies runs.
    trace("single instance: lock %s belongs to user %ld; running without a lock\n", qPrintable(lock_path()),
          owner_of(lock_path()));
    return true;
  }
  lock_ = std::make_unique<QLockFile>(lock_path());
  lock_->setStaleLockTime(0);  // stale only when its process is gone, never by age
  if (!lock_->tryLock(0)) {
    if (lock_->error() != QLockFile::LockFailedError) {
      // The lock file cannot be written at all: let the socket decide alone.
      trace("single instance lock %s: error %d\n", qPrintable(lock_path()), static_cast<int>(lock_->error()));
      QLocalSocket probe;
      if (connect_to(probe, socket_path(), QDeadlineTimer(1000))) return false;
      lock_.reset();
      return listen();
    }
    // Held by a live process. If nothing answers for it, it is not one of us.
    QLocalSocket probe;
    if (connect_to(probe, socket_path(), QDeadlineTimer(3000))) return false;
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
  QLocalServer::removeServer(socket_path());
  if (!server_->listen(socket_path())) {
    trace("single instance: cannot listen on %s: %s\n", qPrintable(socket_path()), qPrintable(server_->errorString()));
    return true;  // run anyway: better a second copy than no program
  }
  QLocalServer* server = server_.get();
  std::shared_ptr<ActivationHandler> handler = handler_;
  std::shared_ptr<CommandHandler> commands = command_handler_;
  QObject::connect(server, &QLocalServer::newConnection, server, [server, handler, commands] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, handler, commands] {
        while (socket->canReadLine()) {
          const QByteArray line = socket->readLine();
          if (const auto request = payload_of(line, kCommandPrefix)) {
            QPointer<QLocalSocket> guard(socket);
            auto reply = [guard](const QByteArray& answer) {
              if (!guard) return;
              guard->write(kReplyPrefix + answer.toBase64() + '\n');
              guard->flush();
            };
            if (*commands) {
              (*commands)(*request, reply);
            } else {
              reply(QByteArray());
            }
            if (!guard) return;  // the client left while the command ran
            continue;
          }
          if (line != kRequest) continue;
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
  if (folder_.isEmpty() || !connect_to(socket, socket_path(), deadline)) return false;
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

void SingleInstance::set_command_handler(CommandHandler handler) { *command_handler_ = std::move(handler); }

std::optional<QByteArray> SingleInstance::send_command(const QByteArray& request, int timeout_ms) {
  QDeadlineTimer deadline(timeout_ms);
  QLocalSocket socket;
  if (folder_.isEmpty() || !connect_to(socket, socket_path(), QDeadlineTimer(std::min(timeout_ms, 5000)))) {
    return std::nullopt;
  }
  socket.write(kCommandPrefix + request.toBase64() + '\n');
  if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return std::nullopt;
  QByteArray answer;
  while (!answer.contains('\n')) {
    if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) return std::nullopt;
    answer += socket.readAll();
  }
  return payload_of(answer.left(answer.indexOf('\n') + 1), kReplyPrefix);
}

}  // namespace norvane
