#pragma once
// SingleInstance: only one copy of the program runs per user.
//
// The first instance holds a lock file and listens on a local socket, both named after
// the instance name ("Norvane-<uid>") in the user's private runtime folder
// (runtime_folder_path(): $XDG_RUNTIME_DIR or a 0700 folder of the user's own), never
// in the shared temp folder where another user could plant them. A later start finds
// the lock held, connects, asks the first instance to come forward and waits a few
// seconds until the request was handled (message UM_ACTIVATE in the first instance's
// main window), then exits with code 1.
//
// A crashed instance leaves its lock file and socket behind: the lock is recognised as
// stale (its process is gone), and a lock of ours that no instance answers for is
// taken over, so a crash never keeps the program from starting. A lock file or socket
// that belongs to another user is neither taken over nor talked to.
//
// Lines on the socket: "activate\n" is answered "done\n"; "command <base64>\n" carries
// a command line's request and is answered "reply <base64>\n".

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLockFile;

namespace norvane {

// How long a later start waits for the first instance to answer.
inline constexpr int kActivationWaitMs = 5000;

class SingleInstance {
 public:
  // Called on the UI thread for every request of a later start; call `done` once the
  // request has been handled, which lets the later start exit.
  using ActivationHandler = std::function<void(std::function<void()> done)>;

  // `folder`: where the lock and socket live ("" runs unguarded: any start is first).
  explicit SingleInstance(QString name = default_name(), QString folder = default_folder());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // "Norvane-<uid>".
  static QString default_name();
  // runtime_folder_path().
  static QString default_folder();

  // Makes this process the running instance. Returns false when another instance runs.
  bool claim();
  // For a later start: asks the running instance to come forward and waits (at most
  // `timeout_ms`) until it has handled the request. Returns true when it answered.
  bool activate_running_instance(int timeout_ms = kActivationWaitMs);
  void set_activation_handler(ActivationHandler handler);

  // Commands of the command line: a later start sends one request (opaque bytes) and
  // waits for the reply the running instance gives through `reply`. Called on the UI
  // thread; without a handler the request is answered with an empty reply.
  using CommandHandler = std::function<void(const QByteArray& request, std::function<void(QByteArray)> reply)>;
  void set_command_handler(CommandHandler handler);
  // For a later start: hands `request` to the running instance and waits (at most
  // `timeout_ms`) for its reply; nullopt when none could be had.
  std::optional<QByteArray> send_command(const QByteArray& request, int timeout_ms);

 private:
  bool listen();
  QString lock_path() const;
  QString socket_path() const;

  QString name_;
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  std::shared_ptr<ActivationHandler> handler_;
  std::shared_ptr<CommandHandler> command_handler_ = std::make_shared<CommandHandler>();
};

}  // namespace norvane
