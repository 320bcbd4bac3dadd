#pragma once
// SingleInstance: only one copy of the program runs per user.
//
// The first instance holds a lock file and listens on a local socket, both named after
// the instance name ("Norvane-<uid>"). A later start finds the lock held, connects,
// asks the first instance to come forward and waits until the request was handled
// (message UM_ACTIVATE in the first instance's main window), then exits with code 1.
//
// A crashed instance leaves its lock file and socket behind: the lock is recognised as
// stale (its process is gone), and a lock that no instance answers for is taken over,
// so a crash never keeps the program from starting.

#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace norvane {

class SingleInstance {
 public:
  // Called on the UI thread for every request of a later start; call `done` once the
  // request has been handled, which lets the later start exit.
  using ActivationHandler = std::function<void(std::function<void()> done)>;

  explicit SingleInstance(QString name = default_name());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // "Norvane-<uid>".
  static QString default_name();

  // Makes this process the running instance. Returns false when another instance runs.
  bool claim();
  // For a later start: asks the running instance to come forward and waits (at most
  // `timeout_ms`) until it has handled the request. Returns true when it answered.
  bool activate_running_instance(int timeout_ms = 30000);
  void set_activation_handler(ActivationHandler handler);

 private:
  bool listen();
  QString lock_path() const;

  QString name_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  std::shared_ptr<ActivationHandler> handler_;
};

}  // namespace norvane
