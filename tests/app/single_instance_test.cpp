// Single instance, with real processes: a second start exits 1 and the first gets
// exactly one activation; a crashed instance does not block the next start; what
// another user plants in the shared temp folder does not keep the program from
// starting; a first copy that does not answer is named to the user.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "app/second_start.h"
#include "app/single_instance.h"
#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/resources.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"

using namespace std::string_literals;
using namespace norvane;

namespace {

constexpr int kGenerous = 30000;  // upper bounds only; every wait ends on an event

QString unique_name() { return "NorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128).left(12); }

// Starts a probe and waits for its first line.
QString start_probe(QProcess& p, const QString& name) {
  p.setProgram(NORVANE_PROBE);
  p.setArguments({name});
  p.start();
  if (!p.waitForStarted(kGenerous)) return "not started";
  while (!p.canReadLine()) {
    if (!p.waitForReadyRead(kGenerous)) return "no output";
  }
  return QString::fromUtf8(p.readLine()).trimmed();
}

// A lock file held by this (live) process, written as the program writes its own, so a
// probe takes it for a running copy.
void write_held_lock(const QString& path) {
  QFile lock(path);
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
             QFile::encodeName(QCoreApplication::applicationFilePath()) + "\n" +
             QSysInfo::machineHostName().toUtf8() + "\n");
}

// A local socket at `path` that answers each request line with `answer` (never, when
// it is empty), on a thread of its own: another program posing as the first copy.
class FakeInstanceSocket {
 public:
  FakeInstanceSocket(const QString& path, std::string answer) : answer_(std::move(answer)) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::min<size_t>(name.size(), sizeof address.sun_path - 1));
    listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 4) == 0;
    thread_ = std::thread([this] { serve(); });
  }
  ~FakeInstanceSocket() {
    ::shutdown(fd_, SHUT_RDWR);  // ends the accept
    thread_.join();
    ::close(fd_);
  }
  bool listening() const { return listening_; }
  int requests() const { return requests_; }

 private:
  void serve() {
    for (;;) {
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      char c;
      while (::read(client, &c, 1) == 1) {
        if (c != '\n') continue;
        ++requests_;
        if (!answer_.empty() && ::write(client, answer_.data(), answer_.size()) < 0) break;
      }
      ::close(client);
    }
  }

  std::string answer_;
  int fd_ = -1;
  bool listening_ = false;
  std::atomic<int> requests_{0};
  std::thread thread_;
};

TEST(SingleInstanceTest, SecondStartExitsOneAndTheFirstIsActivatedOnce) {
  const QString name = unique_name();
  QProcess first;
  ASSERT_EQ(start_probe(first, name), "primary");

  QProcess second;
  EXPECT_EQ(start_probe(second, name), "answered=1");
  ASSERT_TRUE(second.waitForFinished(kGenerous));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 1);

  first.write("quit\n");
  first.closeWriteChannel();
  ASSERT_TRUE(first.waitForFinished(kGenerous));
  EXPECT_EQ(QString::fromUtf8(first.readAll()).trimmed(), "activations=1");
  EXPECT_EQ(first.exitCode(), 0);
}

TEST(SingleInstanceTest, CrashedInstanceLeavesNothingThatBlocksTheNextStart) {
  const QString name = unique_name();
  QProcess crashed;
  ASSERT_EQ(start_probe(crashed, name), "primary");
  crashed.kill();  // SIGKILL: lock file and socket stay behind
  ASSERT_TRUE(crashed.waitForFinished(kGenerous));

  QProcess next;
  EXPECT_EQ(start_probe(next, name), "primary");
  next.write("quit\n");
  next.closeWriteChannel();
  ASSERT_TRUE(next.waitForFinished(kGenerous));
  EXPECT_EQ(QString::fromUtf8(next.readAll()).trimmed(), "activations=0");
}

// Another local user can write the shared temp folder: a lock and a socket planted
// there under this user's instance name, answering like a running copy, must not keep
// the program from starting.
TEST(SingleInstanceTest, ALockAndSocketPlantedInTheSharedTempFolderDoNotStopTheProgram) {
  norvane::testing::test_app();
  QTemporaryDir shared, runtime;
  const QString name = unique_name();
  write_held_lock(shared.path() + "/" + name + ".lock");
  FakeInstanceSocket planted(shared.path() + "/" + name, "done\n");
  ASSERT_TRUE(planted.listening());

  QProcess probe;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TMPDIR", shared.path());
  environment.insert("XDG_RUNTIME_DIR", runtime.path());
  probe.setProcessEnvironment(environment);
  EXPECT_EQ(start_probe(probe, name), "primary");
  probe.write("quit\n");
  probe.closeWriteChannel();
  ASSERT_TRUE(probe.waitForFinished(kGenerous));
  EXPECT_EQ(probe.exitCode(), 0);
  EXPECT_EQ(planted.requests(), 0) << "nothing was said to the planted socket";
}

// A lock of another user is no copy of ours: it is neither taken over (removed or
// rewritten) nor a reason not to start. Only root can make a file of another user.
TEST(SingleInstanceTest, ALockOfAnotherUserIsLeftAloneAndDoesNotStopTheProgram) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
  norvane::testing::test_app();
  QTemporaryDir runtime;
  const QString name = unique_name();
  const QString lock = runtime.path() + "/" + name + ".lock";
  write_held_lock(lock);
  ASSERT_EQ(::chown(QFile::encodeName(lock).constData(), 65534, 65534), 0);
  QFile before(lock);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray content = before.readAll();

  SingleInstance instance(name, runtime.path());
  EXPECT_TRUE(instance.claim());
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(lock).constData(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
  QFile after(lock);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), content);
}

// A first copy that holds the lock and takes the connection but never answers (hung):
// the later start gives up and says so instead of exiting without a word.
TEST(SingleInstanceTest, AFirstCopyThatDoesNotAnswerIsNamedToTheUser) {
  norvane::testing::test_app();
  resources().set_folder(NORVANE_RES_DIR);
  ASSERT_TRUE(resources().load_language("lan.xml"));
  QTemporaryDir runtime;
  const QString name = unique_name();
  write_held_lock(runtime.path() + "/" + name + ".lock");
  FakeInstanceSocket hung(runtime.path() + "/" + name, "");
  ASSERT_TRUE(hung.listening());

  SingleInstance later(name, runtime.path());
  ASSERT_FALSE(later.claim());
  norvane::testing::ModalDriver driver;
  QString said;
  driver.on_next("MsgWnd", [&said](WindowBase& box) {
    said = box.find("warning").shown_text();
    box.find("btn_ok").click();
  });
  EXPECT_EQ(run_second_start(later, 100), 1);
  EXPECT_EQ(driver.seen(), QStringList{"MsgWnd"});
  EXPECT_EQ(said, resources().text("instance_not_answering_text"));
  EXPECT_FALSE(said.isEmpty());
  resources().shut_down();
}

}  // namespace
